#include "engine/VideoBufferChannel.h"

#include "platform/rtl/Exceptions.h"

TVideoBufferChannel::TVideoBufferChannel(int width, int height, AVPixelFormat format)
    : width_(width),
      height_(height),
      format_(format),
      toBitmap_(avlib::sws_getContext(width, height, format, width, height, AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr,
                                      nullptr, nullptr)),
      fromBitmap_(avlib::sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, format, SWS_BICUBIC, nullptr,
                                        nullptr, nullptr)),
      pixels_(static_cast<size_t>(width) * static_cast<size_t>(height) * 4),
      bitmap_(pixels_.data(), width, height) {
    if (!toBitmap_ || !fromBitmap_) throw EOutOfMemory("Out of memory");
}

bool TVideoBufferChannel::Fits(const AVFrame& frame) const noexcept {
    return frame.width == width_ && frame.height == height_ && frame.format == format_;
}

void TVideoBufferChannel::ToBitmap(const AVFrame& frame) {
    uint8_t* planes[4] = {pixels_.data()};
    const int strides[4] = {width_ * 4};
    avlib::sws_scale(toBitmap_.get(), frame.data, frame.linesize, 0, height_, planes, strides);
}

void TVideoBufferChannel::FromBitmap(AVFrame& frame) {
    if (avlib::av_frame_make_writable(&frame) < 0) throw EOutOfMemory("Out of memory");
    const uint8_t* planes[4] = {pixels_.data()};
    const int strides[4] = {width_ * 4};
    avlib::sws_scale(fromBitmap_.get(), planes, strides, 0, height_, frame.data, frame.linesize);
}
