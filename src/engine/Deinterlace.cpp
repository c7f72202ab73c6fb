#include "engine/Deinterlace.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

bool Supported(AVPixelFormat format) {
    switch (format) {
    case AV_PIX_FMT_YUV420P:
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUV422P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUV444P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUV411P:
    case AV_PIX_FMT_GRAY8: return true;
    default: return false;
    }
}

void DeinterlacePlane(const uint8_t* source, int sourceStride, uint8_t* target, int targetStride, int width,
                      int height) {
    const auto row = [&](int y) { return source + static_cast<ptrdiff_t>(std::clamp(y, 0, height - 1)) * sourceStride; };
    for (int y = 0; y < height; ++y) {
        uint8_t* out = target + static_cast<ptrdiff_t>(y) * targetStride;
        if (y % 2 == 0) {
            std::memcpy(out, row(y), static_cast<size_t>(width));
            continue;
        }
        const uint8_t *m2 = row(y - 2), *m1 = row(y - 1), *c = row(y), *p1 = row(y + 1), *p2 = row(y + 2);
        for (int x = 0; x < width; ++x) {
            const int sum = -m2[x] + 4 * m1[x] + 2 * c[x] + 4 * p1[x] - p2[x];
            out[x] = static_cast<uint8_t>(std::clamp((sum + 4) >> 3, 0, 255));
        }
    }
}

} // namespace

bool Deinterlace(const AVFrame& source, AVFrame& target) {
    const auto format = static_cast<AVPixelFormat>(source.format);
    if (!Supported(format) || source.width <= 0 || source.height <= 0 || source.width % 4 || source.height % 4)
        return false;
    avlib::av_frame_unref(&target);
    target.format = source.format;
    target.width = source.width;
    target.height = source.height;
    if (avlib::av_frame_get_buffer(&target, 0) < 0 || avlib::av_frame_copy_props(&target, &source) < 0) {
        avlib::av_frame_unref(&target);
        return false;
    }
    const AVPixFmtDescriptor& desc = *avlib::av_pix_fmt_desc_get(format);
    for (int plane = 0; plane < desc.nb_components; ++plane) {
        const int width = plane ? AV_CEIL_RSHIFT(source.width, desc.log2_chroma_w) : source.width;
        const int height = plane ? AV_CEIL_RSHIFT(source.height, desc.log2_chroma_h) : source.height;
        DeinterlacePlane(source.data[plane], source.linesize[plane], target.data[plane], target.linesize[plane], width,
                         height);
    }
    target.interlaced_frame = 0;
    return true;
}
