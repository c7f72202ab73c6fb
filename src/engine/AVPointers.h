#pragma once
// Owning pointers to FFmpeg objects.

#include <memory>

#include "engine/AVLib.h"

struct TCodecContextFree {
    void operator()(AVCodecContext* context) const { avlib::avcodec_free_context(&context); }
};
struct TFrameFree {
    void operator()(AVFrame* frame) const { avlib::av_frame_free(&frame); }
};
struct TPacketFree {
    void operator()(AVPacket* packet) const { avlib::av_packet_free(&packet); }
};
struct TScalerFree {
    void operator()(SwsContext* scaler) const { avlib::sws_freeContext(scaler); }
};
struct TInOutFree {
    void operator()(AVFilterInOut* list) const { avlib::avfilter_inout_free(&list); }
};

using TCodecContextPtr = std::unique_ptr<AVCodecContext, TCodecContextFree>;
using TFramePtr = std::unique_ptr<AVFrame, TFrameFree>;
using TPacketPtr = std::unique_ptr<AVPacket, TPacketFree>;
using TScalerPtr = std::unique_ptr<SwsContext, TScalerFree>;
using TInOutPtr = std::unique_ptr<AVFilterInOut, TInOutFree>;

// Raise EOutOfMemory when FFmpeg has none to give.
TFramePtr NewFrame();
TPacketPtr NewPacket();
