#include "engine/FrameBufferPool.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

constexpr int kPlaneAlign = 64;

struct PoolBuffer {
    uint8_t* data[4] = {};
    int linesize[4] = {};
    int size = 0;
    int width = 0;
    int height = 0;
    AVPixelFormat format = AV_PIX_FMT_NONE;
    // Set while the buffer is in use, so that it finds its way back.
    std::shared_ptr<TFrameBufferPool::State> owner;

    ~PoolBuffer() { avlib::av_freep(&data[0]); }
    bool Fits(const AVFrame& frame) const {
        return width == frame.width && height == frame.height && format == frame.format;
    }
};

int Allocate(PoolBuffer& buffer, AVCodecContext* context, const AVFrame& frame) {
    const auto format = static_cast<AVPixelFormat>(frame.format);
    int width = frame.width, height = frame.height;
    int linesizeAlign[AV_NUM_DATA_POINTERS];
    avlib::avcodec_align_dimensions2(context, &width, &height, linesizeAlign);
    avlib::av_freep(&buffer.data[0]);
    const int size = avlib::av_image_alloc(buffer.data, buffer.linesize, width, height, format, kPlaneAlign);
    if (size < 0) return size;
    buffer.size = size;
    buffer.width = frame.width;
    buffer.height = frame.height;
    buffer.format = format;
    return 0;
}

} // namespace

struct TFrameBufferPool::State {
    explicit State(uintptr_t id) : id(id) {}
    const uintptr_t id;
    mutable std::mutex mutex;
    std::vector<std::unique_ptr<PoolBuffer>> free; // back() is the head
    int inUse = 0;
    bool closed = false;
};

namespace {

// The live pools by number. A context names its pool by number so that a
// destroyed pool is simply not found; numbers are never reused.
std::mutex livePoolsMutex;
std::unordered_map<uintptr_t, std::shared_ptr<TFrameBufferPool::State>> livePools;
uintptr_t lastPoolId = 0;

std::shared_ptr<TFrameBufferPool::State> NewLivePool() {
    std::lock_guard lock(livePoolsMutex);
    auto state = std::make_shared<TFrameBufferPool::State>(++lastPoolId);
    livePools.emplace(state->id, state);
    return state;
}

std::shared_ptr<TFrameBufferPool::State> LivePool(const AVCodecContext& context) noexcept {
    std::lock_guard lock(livePoolsMutex);
    const auto found = livePools.find(reinterpret_cast<uintptr_t>(context.opaque));
    return found == livePools.end() ? nullptr : found->second;
}

// Called by FFmpeg: nothing may propagate. A buffer that cannot be kept is freed.
void ReturnBuffer(void* opaque, uint8_t*) noexcept {
    std::unique_ptr<PoolBuffer> buffer(static_cast<PoolBuffer*>(opaque));
    const auto state = std::move(buffer->owner);
    std::lock_guard lock(state->mutex);
    --state->inUse;
    if (state->closed) return;
    try {
        state->free.push_back(std::move(buffer));
    } catch (...) {
    }
}

std::unique_ptr<PoolBuffer> Take(const std::shared_ptr<TFrameBufferPool::State>& state) {
    std::lock_guard lock(state->mutex);
    std::unique_ptr<PoolBuffer> buffer;
    if (state->free.empty()) {
        buffer = std::make_unique<PoolBuffer>();
    } else {
        buffer = std::move(state->free.back());
        state->free.pop_back();
    }
    ++state->inUse;
    buffer->owner = state;
    return buffer;
}

} // namespace

TFrameBufferPool::TFrameBufferPool() : state_(NewLivePool()) {}

TFrameBufferPool::~TFrameBufferPool() {
    {
        std::lock_guard lock(livePoolsMutex);
        livePools.erase(state_->id);
    }
    std::lock_guard lock(state_->mutex);
    state_->closed = true;
    state_->free.clear();
}

void TFrameBufferPool::Install(AVCodecContext* context) {
    context->opaque = reinterpret_cast<void*>(state_->id);
    context->get_buffer2 = CodecGetBuffer;
#if LIBAVCODEC_VERSION_MAJOR < 60
    // The callback is thread-safe; without the mark FFmpeg warns at every
    // frame-threaded open. Major version 60 drops the field and assumes it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    context->thread_safe_callbacks = 1;
#pragma GCC diagnostic pop
#endif
}

int TFrameBufferPool::FreeCount() const {
    std::lock_guard lock(state_->mutex);
    return static_cast<int>(state_->free.size());
}

int TFrameBufferPool::BufferCount() const {
    std::lock_guard lock(state_->mutex);
    return static_cast<int>(state_->free.size()) + state_->inUse;
}

int CodecGetBuffer(AVCodecContext* context, AVFrame* frame, int flags) {
    const AVPixFmtDescriptor* desc =
        frame->format >= 0 ? avlib::av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format)) : nullptr;
    const std::shared_ptr<TFrameBufferPool::State> pool = LivePool(*context);
    if (!pool || context->codec_type != AVMEDIA_TYPE_VIDEO || !context->codec ||
        !(context->codec->capabilities & AV_CODEC_CAP_DR1) || (desc && (desc->flags & AV_PIX_FMT_FLAG_HWACCEL)))
        return avlib::avcodec_default_get_buffer2(context, frame, flags);
    if (!desc || avlib::av_image_check_size(frame->width, frame->height, 0, context) < 0) return -1;

    std::unique_ptr<PoolBuffer> buffer;
    try {
        buffer = Take(pool);
    } catch (...) {
        return AVERROR(ENOMEM);
    }
    if (!buffer->data[0] || !buffer->Fits(*frame)) {
        if (const int error = Allocate(*buffer, context, *frame); error < 0) {
            ReturnBuffer(buffer.release(), nullptr);
            return error;
        }
    }
    AVBufferRef* ref = avlib::av_buffer_create(buffer->data[0], buffer->size, ReturnBuffer, buffer.get(), 0);
    if (!ref) {
        ReturnBuffer(buffer.release(), nullptr);
        return AVERROR(ENOMEM);
    }
    frame->buf[0] = ref;
    for (int i = 0; i < 4; ++i) {
        frame->data[i] = buffer->data[i];
        frame->linesize[i] = buffer->linesize[i];
    }
    frame->extended_data = frame->data;
    buffer.release(); // owned by ref now
    return 0;
}
