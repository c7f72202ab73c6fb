#pragma once
// Picture buffers that a video decoder draws its frames from. Each buffer goes
// back to the pool when the last reference to its frame is dropped, whichever
// thread drops it; a buffer released after its pool is gone frees itself.

#include <memory>

#include "engine/AVLib.h"

class TFrameBufferPool {
public:
    TFrameBufferPool();
    ~TFrameBufferPool();
    TFrameBufferPool(const TFrameBufferPool&) = delete;
    TFrameBufferPool& operator=(const TFrameBufferPool&) = delete;

    // Makes Context draw its video frames from this pool (decoders with direct
    // rendering; the others keep FFmpeg's own buffers). Install before
    // avcodec_open2. The pool owns the context's opaque: it holds the pool's
    // number, never an address, because FFmpeg hands its callback copies of the
    // context (frame threads) and only opaque travels with them. The context
    // therefore holds nothing to free and may outlive the pool: once the pool
    // is destroyed, the decoder gets FFmpeg's own buffers.
    void Install(AVCodecContext* context);

    // Buffers waiting in the pool.
    int FreeCount() const;
    // Buffers in the pool or in use.
    int BufferCount() const;

    struct State;

private:
    std::shared_ptr<State> state_;
};

// The decoder's get_buffer2 callback; the codec's opaque names the pool.
int CodecGetBuffer(AVCodecContext* context, AVFrame* frame, int flags);
