#pragma once
// Run-time binding of the FFmpeg libraries. Nothing links them at build time:
// LoadAVLib loads them by soname on first use and fills one pointer per entry
// point, typed from the installed headers. Everything else calls FFmpeg only
// through avlib::<export name>.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/bsf.h>
#include <libavdevice/avdevice.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/avutil.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
#include <libavutil/time.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <thread>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"

class TDynamicLibrary;

// Entry points per library, in resolution order.
#define AVLIB_AVUTIL(X)                                                                           \
    X(avutil_version)                                                                             \
    X(av_malloc) X(av_mallocz) X(av_realloc) X(av_realloc_f) X(av_free) X(av_freep)               \
    X(av_strdup)                                                                                  \
    X(av_rescale) X(av_rescale_q) X(av_rescale_q_rnd) X(av_rescale_delta) X(av_compare_ts)        \
    X(av_reduce) X(av_mul_q) X(av_div_q) X(av_d2q) X(av_find_nearest_q_idx)                       \
    X(av_log_set_callback) X(av_log) X(av_log_set_flags) X(av_default_item_name)                  \
    X(av_strerror)                                                                                \
    X(av_opt_find) X(av_opt_set) X(av_opt_set_int) X(av_opt_set_double) X(av_opt_set_bin)         \
    X(av_opt_set_dict)                                                                            \
    X(av_opt_get) X(av_opt_get_int) X(av_opt_get_double) X(av_opt_ptr)                            \
    X(av_dict_get) X(av_dict_set) X(av_dict_set_int) X(av_dict_copy) X(av_dict_count)             \
    X(av_dict_free)                                                                               \
    X(av_image_alloc) X(av_image_copy) X(av_image_check_size) X(av_image_fill_arrays)             \
    X(av_image_get_buffer_size)                                                                   \
    X(av_get_bytes_per_sample) X(av_get_sample_fmt_name) X(av_get_sample_fmt)                     \
    X(av_sample_fmt_is_planar) X(av_samples_get_buffer_size) X(av_samples_fill_arrays)            \
    X(av_get_pix_fmt) X(av_get_pix_fmt_name) X(av_pix_fmt_desc_get)                               \
    X(av_pix_fmt_get_chroma_sub_sample)                                                           \
    X(av_channel_layout_default) X(av_channel_layout_from_mask) X(av_channel_layout_describe)     \
    X(av_channel_layout_copy) X(av_channel_layout_compare) X(av_channel_layout_uninit)            \
    X(av_frame_alloc) X(av_frame_free) X(av_frame_ref) X(av_frame_unref) X(av_frame_move_ref)     \
    X(av_frame_get_buffer) X(av_frame_make_writable) X(av_frame_copy_props)                       \
    X(av_buffer_create) X(av_buffer_ref) X(av_buffer_unref) X(av_buffer_get_opaque)               \
    X(av_gettime) X(av_gettime_relative) X(av_usleep) X(av_parse_video_rate)                      \
    X(av_get_media_type_string)

#define AVLIB_SWRESAMPLE(X)                                                                       \
    X(swresample_version) X(swr_alloc_set_opts2) X(swr_init) X(swr_convert) X(swr_set_compensation) X(swr_free)

#define AVLIB_SWSCALE(X)                                                                          \
    X(swscale_version) X(sws_getContext) X(sws_getCachedContext) X(sws_scale) X(sws_freeContext)

#define AVLIB_AVCODEC(X)                                                                          \
    X(avcodec_version)                                                                            \
    X(avcodec_find_encoder) X(avcodec_find_encoder_by_name) X(avcodec_find_decoder)               \
    X(avcodec_find_decoder_by_name) X(avcodec_get_name) X(avcodec_get_class)                      \
    X(avcodec_alloc_context3) X(avcodec_free_context) X(avcodec_open2) X(avcodec_close)           \
    X(avcodec_is_open) X(avcodec_parameters_alloc) X(avcodec_parameters_free)                     \
    X(avcodec_parameters_copy) X(avcodec_parameters_to_context)                                   \
    X(avcodec_parameters_from_context)                                                            \
    X(avcodec_send_packet) X(avcodec_receive_frame) X(avcodec_send_frame)                         \
    X(avcodec_receive_packet) X(avcodec_decode_subtitle2) X(avcodec_encode_subtitle)              \
    X(avsubtitle_free) X(avcodec_flush_buffers) X(avcodec_default_get_buffer2)                    \
    X(avcodec_default_get_format) X(avcodec_align_dimensions2) X(avcodec_fill_audio_frame)        \
    X(avcodec_find_best_pix_fmt_of_list) X(av_get_bits_per_sample)                                \
    X(av_get_audio_frame_duration)                                                                \
    X(av_packet_alloc) X(av_packet_free) X(av_packet_ref) X(av_packet_unref)                      \
    X(av_packet_move_ref) X(av_packet_make_refcounted) X(av_packet_rescale_ts)                    \
    X(av_new_packet)                                                                              \
    X(av_packet_get_side_data) X(av_fast_malloc)                                                  \
    X(av_bsf_list_parse_str) X(av_bsf_init) X(av_bsf_send_packet) X(av_bsf_receive_packet)        \
    X(av_bsf_free)

#define AVLIB_AVFORMAT(X)                                                                         \
    X(avformat_version)                                                                           \
    X(avformat_network_init) X(avformat_network_deinit) X(avformat_get_class)                     \
    X(av_guess_format) X(av_guess_codec) X(av_codec_get_id) X(av_codec_get_tag)                   \
    X(av_find_input_format) X(av_probe_input_format3) X(avformat_alloc_context)                   \
    X(avformat_open_input)                                                                        \
    X(avformat_find_stream_info) X(av_find_best_stream) X(av_read_frame) X(av_seek_frame)         \
    X(avformat_seek_file) X(av_read_play) X(av_read_pause) X(avformat_close_input)                \
    X(avformat_alloc_output_context2) X(avformat_free_context) X(avformat_new_stream)             \
    X(avformat_write_header) X(av_interleaved_write_frame) X(av_write_trailer)                    \
    X(av_filename_number_test) X(av_guess_sample_aspect_ratio) X(av_guess_frame_rate)             \
    X(av_stream_get_codec_timebase)                                                               \
    X(avformat_match_stream_specifier)                                                            \
    X(avio_alloc_context) X(avio_context_free) X(avio_open) X(avio_closep) X(avio_seek)           \
    X(avio_size) X(avio_feof) X(avio_w8) X(avio_printf)

#define AVLIB_AVFILTER(X)                                                                         \
    X(avfilter_version)                                                                           \
    X(avfilter_get_by_name) X(avfilter_graph_alloc) X(avfilter_graph_alloc_filter)                \
    X(avfilter_graph_create_filter) X(avfilter_graph_parse2) X(avfilter_graph_parse_ptr)          \
    X(avfilter_graph_config) X(avfilter_graph_request_oldest) X(avfilter_graph_free)              \
    X(avfilter_init_str) X(avfilter_init_dict) X(avfilter_link) X(avfilter_free)                  \
    X(avfilter_inout_alloc) X(avfilter_inout_free) X(avfilter_pad_get_name)                       \
    X(avfilter_pad_get_type)                                                                      \
    X(av_buffersrc_add_frame) X(av_buffersrc_add_frame_flags) X(av_buffersrc_write_frame)         \
    X(av_buffersrc_get_nb_failed_requests) X(av_buffersrc_parameters_alloc)                       \
    X(av_buffersrc_parameters_set)                                                                \
    X(av_buffersink_get_frame) X(av_buffersink_get_frame_flags)                                   \
    X(av_buffersink_set_frame_size)                                                               \
    X(av_buffersink_get_time_base) X(av_buffersink_get_w) X(av_buffersink_get_h)                  \
    X(av_buffersink_get_format) X(av_buffersink_get_sample_rate)                                  \
    X(av_buffersink_get_ch_layout)                                                                \
    X(av_buffersink_get_frame_rate) X(av_buffersink_get_sample_aspect_ratio)

#define AVLIB_AVDEVICE(X) X(avdevice_version) X(avdevice_register_all)

namespace avlib {
#define AVLIB_DECLARE(name) inline decltype(&::name) name = nullptr;
AVLIB_AVUTIL(AVLIB_DECLARE)
AVLIB_SWRESAMPLE(AVLIB_DECLARE)
AVLIB_SWSCALE(AVLIB_DECLARE)
AVLIB_AVCODEC(AVLIB_DECLARE)
AVLIB_AVFORMAT(AVLIB_DECLARE)
AVLIB_AVFILTER(AVLIB_DECLARE)
AVLIB_AVDEVICE(AVLIB_DECLARE)
#undef AVLIB_DECLARE
} // namespace avlib

// Why loading failed. The message is "Can not load <soname>" or
// "Load <export> failed!"; Library is the soname, EntryPoint the missing export
// (empty when the library itself could not be loaded).
class EAVLibError : public Exception {
public:
    EAVLibError(const String& message, const String& library, const String& entryPoint)
        : Exception(message), library_(library), entryPoint_(entryPoint) {}
    const String& Library() const noexcept { return library_; }
    const String& EntryPoint() const noexcept { return entryPoint_; }

private:
    String library_;
    String entryPoint_;
};

// Loads every library not yet loaded and resolves its entries, then registers
// once (log flags, network, devices, log callback). Raises EAVLibError on the
// first library or entry that fails; what loaded before stays loaded.
void LoadAVLib();

// While a TAVLibUse lives, the libraries stay loaded and its thread may call
// FFmpeg. Every thread that calls FFmpeg while others may unload (converter
// workers, readers) holds one for as long as it does; one thread may hold
// several. Taking a use loads like LoadAVLib and raises as it does; a thread
// holding no use yet waits first for a pending UnloadAVLib to finish (then
// loads again). A use may end on another thread than the one that took it.
class TAVLibUse {
public:
    TAVLibUse();
    ~TAVLibUse();
    TAVLibUse(const TAVLibUse&) = delete;
    TAVLibUse& operator=(const TAVLibUse&) = delete;

private:
    std::thread::id thread_;
};

// Frees the loaded libraries and clears their entries; a later LoadAVLib
// loads and registers again. Waits until every TAVLibUse has ended, so stop
// the converters first: a worker that waits for the calling thread while it
// holds a use deadlocks the unload. Called by a thread that itself holds a
// use, it raises EAssertionFailed and unloads nothing.
void UnloadAVLib();
// True while an UnloadAVLib waits for uses to end.
bool AVLibUnloadPending();
bool AVLibLoaded();

// A loaded library and the version it reports, FFmpeg's packed
// major << 16 | minor << 8 | micro (AV_VERSION_MAJOR and its companions).
struct TAVLibVersion {
    String soname;
    unsigned version;
};
// The libraries loaded now, in load order; after a failed LoadAVLib, those
// loaded before the failure.
std::vector<TAVLibVersion> LoadedAVLibs();

// Raises EAVLibError "Can not load <name>".
std::unique_ptr<TDynamicLibrary> LoadAVDll(const String& name);
// Raises EAVLibError "Load <name> failed!".
void* ResolveExport(const TDynamicLibrary& library, const char* name);
