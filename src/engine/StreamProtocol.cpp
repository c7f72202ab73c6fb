#include "engine/StreamProtocol.h"

#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>

namespace {

std::mutex registryMutex;
std::map<int, std::weak_ptr<TStream>> registry;
int lastId = 0;

constexpr int kIOBufferSize = 32768;
constexpr std::u16string_view kPrefix = u"stream:";

// Parses the decimal number right after "stream:"; the rest is ignored.
bool StreamIdFromURL(const String& url, int& id) {
    if (!url.starts_with(kPrefix)) return false;
    auto i = kPrefix.size();
    int64_t value = 0;
    const auto start = i;
    for (; i < url.size() && url[i] >= u'0' && url[i] <= u'9' && value <= INT32_MAX; ++i)
        value = value * 10 + (url[i] - u'0');
    if (i == start || value > INT32_MAX) return false;
    id = static_cast<int>(value);
    return true;
}

// What a custom I/O context owns besides its buffer.
struct StreamIO {
    std::shared_ptr<TStream> stream;
};

TStream& StreamOf(void* opaque) { return *static_cast<StreamIO*>(opaque)->stream; }

int ReadStream(void* opaque, uint8_t* buf, int size) {
    try {
        const int64_t n = StreamOf(opaque).Read(buf, size);
        return n > 0 ? static_cast<int>(n) : AVERROR_EOF;
    } catch (...) {
        return AVERROR(EIO);
    }
}

int64_t SeekStream(void* opaque, int64_t offset, int whence) {
    TStream& stream = StreamOf(opaque);
    try {
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE: return stream.Size();
        case SEEK_SET: return stream.Seek(offset, soBeginning);
        case SEEK_CUR: return stream.Seek(offset, soCurrent);
        case SEEK_END: return stream.Seek(offset, soEnd);
        default: return -1;
        }
    } catch (...) {
        return -1;
    }
}

bool IsStreamIO(const AVIOContext* pb) { return pb && pb->read_packet == ReadStream; }

void FreeStreamIO(AVIOContext*& pb) {
    delete static_cast<StreamIO*>(pb->opaque);
    avlib::av_freep(&pb->buffer);
    avlib::avio_context_free(&pb);
}

} // namespace

int RegisterStream(std::shared_ptr<TStream> stream) {
    std::lock_guard lock(registryMutex);
    std::erase_if(registry, [](const auto& entry) { return entry.second.expired(); });
    registry.emplace(++lastId, std::move(stream));
    return lastId;
}

void UnregisterStream(int id) {
    std::lock_guard lock(registryMutex);
    registry.erase(id);
}

String StreamURL(int id) { return String(kPrefix) + String(std::to_string(id)); }

std::shared_ptr<TStream> StreamFromURL(const String& url) {
    int id;
    if (!StreamIdFromURL(url, id)) return nullptr;
    std::lock_guard lock(registryMutex);
    const auto found = registry.find(id);
    return found == registry.end() ? nullptr : found->second.lock();
}

int OpenInput(AVFormatContext** context, const String& url, const AVInputFormat* format,
              AVDictionary** options) {
    *context = nullptr;
    const std::string utf8 = url.ToUtf8();
    if (!url.starts_with(kPrefix))
        return avlib::avformat_open_input(context, utf8.c_str(), format, options);

    auto io = std::make_unique<StreamIO>();
    io->stream = StreamFromURL(url);
    if (!io->stream) return AVERROR(ENOENT);
    TAVDict rawOptions;
    try {
        io->stream->Seek(0, soBeginning);
        if (const auto* raw = dynamic_cast<const IRawInput*>(io->stream.get())) {
            format = avlib::av_find_input_format(raw->DemuxerName());
            if (!format) return AVERROR_DEMUXER_NOT_FOUND;
            raw->DemuxerOptions(rawOptions);
            if (options && avlib::av_dict_copy(options, rawOptions.Get(), 0) < 0) return AVERROR(ENOMEM);
            if (!options) options = rawOptions.Address();
        }
    } catch (...) {
        return AVERROR(EIO);
    }
    *context = avlib::avformat_alloc_context();
    if (!*context) return AVERROR(ENOMEM);
    auto* buffer = static_cast<uint8_t*>(avlib::av_malloc(kIOBufferSize));
    AVIOContext* pb = buffer ? avlib::avio_alloc_context(buffer, kIOBufferSize, 0, io.get(),
                                                         ReadStream, nullptr, SeekStream)
                             : nullptr;
    if (!pb) {
        avlib::av_free(buffer);
        avlib::avformat_free_context(*context);
        *context = nullptr;
        return AVERROR(ENOMEM);
    }
    io.release(); // pb owns it from here
    (*context)->pb = pb;
    (*context)->flags |= AVFMT_FLAG_CUSTOM_IO;
    const int result = avlib::avformat_open_input(context, utf8.c_str(), format, options);
    // On failure avformat_open_input frees the format context but leaves custom I/O to us.
    if (result < 0) FreeStreamIO(pb);
    return result;
}

void CloseInput(AVFormatContext** context) {
    if (!*context) return;
    AVIOContext* pb = (*context)->pb;
    const bool own = ((*context)->flags & AVFMT_FLAG_CUSTOM_IO) && IsStreamIO(pb);
    avlib::avformat_close_input(context);
    if (own) FreeStreamIO(pb);
}
