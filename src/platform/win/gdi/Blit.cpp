#include "platform/win/gdi/Blit.h"

#include <cassert>
#include <cstring>
#include <vector>

#include "platform/win/gdi/Gdi.h"

namespace {

thread_local std::vector<uint32_t> sourceRow, patternRow, destRow, combineRow, snapshot;
thread_local std::vector<int> columnMap;

uint32_t* Buffer(std::vector<uint32_t>& buffer, size_t n) {
    if (buffer.size() < n) buffer.resize(n);
    return buffer.data();
}

void FillPatternRow(const TDrawTarget& target, const TPattern& pattern, int rasterY, int left, int n, uint32_t* out) {
    if (pattern.solid) {
        std::fill_n(out, n, pattern.color);
        return;
    }
    const uint32_t* row = pattern.Row(rasterY - target.offset.y);
    const int first = left - target.offset.x - pattern.origin.x;
    for (int i = 0; i < n; ++i) out[i] = row[(first + i) & 7];
}

// Repeats the first Filled pixels of Row up to N by doubling copies (Filled
// a multiple of the pattern's period).
void Repeat(uint32_t* row, int filled, int n) {
    while (filled < n) {
        const int chunk = std::min(filled, n - filled);
        std::memcpy(row + filled, row, size_t(chunk) * 4);
        filled += chunk;
    }
}

void Fill32(uint32_t* row, int n, uint32_t pixel) {
    if ((pixel & 0xFF) * 0x01010101u == pixel) {
        std::memset(row, int(pixel & 0xFF), size_t(n) * 4);
        return;
    }
    // Sixteen pixels a round of four 16-byte stores.
    typedef uint32_t TPixels4 __attribute__((vector_size(16)));
    const TPixels4 four = {pixel, pixel, pixel, pixel};
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        std::memcpy(row + i, &four, 16);
        std::memcpy(row + i + 4, &four, 16);
        std::memcpy(row + i + 8, &four, 16);
        std::memcpy(row + i + 12, &four, 16);
    }
    for (; i < n; ++i) row[i] = pixel;
}

} // namespace

bool MakePatternUncached(TDc& dc, HBRUSH handle, TPattern& pattern);

bool RopOf(DWORD rop, TRop& out) noexcept {
    switch (rop & ~CAPTUREBLT) {
    case SRCCOPY: out = TRop::SrcCopy; return true;
    case SRCAND: out = TRop::SrcAnd; return true;
    case SRCPAINT: out = TRop::SrcPaint; return true;
    case NOTSRCCOPY: out = TRop::NotSrcCopy; return true;
    case PATCOPY: out = TRop::PatCopy; return true;
    case DSTINVERT: out = TRop::DstInvert; return true;
    case 0x00E20746: out = TRop::PatWhereSource; return true;
    }
    assert(!"raster operation not supported");
    return false;
}

bool MakePattern(TDc& dc, HBRUSH handle, TPattern& pattern) {
    // The tree paints row after row with the same brush and colours.
    TDc::TPatternCache& cache = dc.patternCache;
    if (cache.brush == handle && handle && cache.text == dc.state.text && cache.background == dc.state.background &&
        cache.bitmap == dc.state.bitmap && FindObject(HGDIOBJ(handle))) {
        pattern.solid = false;
        std::memcpy(pattern.pixels, cache.pattern.pixels, sizeof pattern.pixels);
        pattern.origin = dc.state.brushOrigin;
        return true;
    }
    if (!MakePatternUncached(dc, handle, pattern)) return false;
    if (!pattern.solid) {
        cache.brush = handle;
        cache.text = dc.state.text;
        cache.background = dc.state.background;
        cache.bitmap = dc.state.bitmap;
        cache.pattern = pattern;
    }
    return true;
}

bool MakePatternUncached(TDc& dc, HBRUSH handle, TPattern& pattern) {
    TBrushInfo brush;
    if (!ResolveBrush(handle, brush) || brush.style == BS_NULL) return false;
    const bool mono = IsMonochromeDc(dc);
    pattern.solid = true;
    pattern.origin = dc.state.brushOrigin;
    if (!brush.pattern) {
        pattern.color = ColorPixel(brush.color);
        if (mono) pattern.color = MonoPixel(pattern.color);
        return true;
    }
    pattern.solid = false;
    const uint32_t fore = ColorPixel(dc.state.text), back = ColorPixel(dc.state.background);
    for (int i = 0; i < 64; ++i) {
        uint32_t pixel = brush.pattern->pattern[i];
        if (brush.pattern->monoPattern && !mono) pixel = pixel ? back : fore;
        else if (brush.pattern->monoPattern) pixel = pixel ? 0xFFFFFF : 0;
        else if (mono) pixel = MonoPixel(pixel);
        pattern.pixels[i] = pixel;
    }
    return true;
}

TPattern SolidPattern(TDc& dc, COLORREF color) {
    TPattern pattern;
    pattern.color = ColorPixel(color & 0x02000000 ? color & 0xFFFFFF : color);
    if (IsMonochromeDc(dc)) pattern.color = MonoPixel(pattern.color);
    return pattern;
}

void PaintArea(TDrawTarget& target, const RECT& area, const TPattern& pattern, TRop rop) {
    const TRaster& raster = target.raster;
    ForEachClipped(target, area, [&](const RECT& r) {
        const int n = r.right - r.left;
        if (raster.bpp == 32 && rop == TRop::PatCopy) {
            if (pattern.solid) {
                for (int y = r.top; y < r.bottom; ++y) Fill32(raster.Row32(y) + r.left, n, pattern.color);
                return;
            }
            const int head = std::min(n, 8);
            const int phase = r.left - target.offset.x - pattern.origin.x;
            uint8_t* at = raster.Row(r.top) + ptrdiff_t(r.left) * 4;
            for (int y = r.top; y < r.bottom; ++y, at += raster.stride) {
                auto* row = reinterpret_cast<uint32_t*>(at);
                const uint32_t* source = pattern.Row(y - target.offset.y);
                for (int i = 0; i < head; ++i) row[i] = source[(phase + i) & 7];
                if (n > head) Repeat(row, head, n);
            }
            return;
        }
        uint32_t* dest = Buffer(destRow, size_t(n));
        uint32_t* pat = Buffer(patternRow, size_t(n));
        for (int y = r.top; y < r.bottom; ++y) {
            if (rop == TRop::PatCopy) {
                FillPatternRow(target, pattern, y, r.left, n, dest);
            } else {
                ReadRow(raster, r.left, y, n, dest);
                if (UsesPattern(rop)) FillPatternRow(target, pattern, y, r.left, n, pat);
                for (int i = 0; i < n; ++i) dest[i] = ApplyRop(rop, 0, pat[i], dest[i]);
            }
            WriteRow(raster, r.left, y, n, dest);
        }
    });
}

bool FillDevice(TDc& dc, const RECT& area, const TPattern& pattern, TRop rop) {
    if (area.left >= area.right || area.top >= area.bottom) return true;
    TDrawTarget target;
    if (!BeginDraw(dc, area, target)) return false;
    PaintArea(target, area, pattern, rop);
    EndDraw(target);
    return true;
}

BOOL PatBlt(HDC handle, int x, int y, int width, int height, DWORD code) {
    TDc* dc = DcOf(handle);
    TRop rop;
    if (!dc || !RopOf(code, rop) || UsesSource(rop)) return FALSE;
    if (width < 0) x += width, width = -width;
    if (height < 0) y += height, height = -height;
    TPattern pattern;
    if (UsesPattern(rop) && !MakePattern(*dc, dc->state.brush, pattern)) return TRUE;
    const RECT area = dc->ToDevice(RECT{x, y, x + width, y + height});
    return FillDevice(*dc, area, pattern, rop);
}

namespace {

struct TBlit {
    TDc* dest;
    RECT area;   // device coordinates of the destination, normalised
    TDc* source; // null without a source
    RECT from;   // device coordinates of the source, normalised
    bool flipX = false, flipY = false;
    TRop rop = TRop::SrcCopy;
    const TBitmapObject* mask = nullptr;
    POINT maskAt{};
};

inline int MapIndex(int i, int w, int sw, bool flip) noexcept {
    const int j = StretchIndex(i, w, sw);
    return flip ? sw - 1 - j : j;
}

BOOL Run(TBlit& blit) {
    const int w = blit.area.right - blit.area.left, h = blit.area.bottom - blit.area.top;
    const int sw = blit.from.right - blit.from.left, sh = blit.from.bottom - blit.from.top;
    if (w <= 0 || h <= 0 || (blit.source && (sw <= 0 || sh <= 0))) return TRUE;
    TDc& dc = *blit.dest;
    TPattern pattern;
    if (UsesPattern(blit.rop) && !MakePattern(dc, dc.state.brush, pattern)) {
        if (blit.rop == TRop::PatCopy) return TRUE;
        pattern = SolidPattern(dc, 0);
    }
    TRaster source;
    POINT sourceOffset{};
    if (blit.source && !BeginRead(*blit.source, blit.from, source, sourceOffset)) return FALSE;
    TDrawTarget target;
    if (!BeginDraw(dc, blit.area, target)) return FALSE;
    const TRaster& raster = target.raster;
    if (blit.source && source.top == raster.top && source.top) {
        // Drawing onto itself: read from a copy of the source rows.
        const int top = std::clamp<int>(blit.from.top + sourceOffset.y, 0, source.height);
        const int bottom = std::clamp<int>(blit.from.bottom + sourceOffset.y, top, source.height);
        const size_t count = size_t(source.width) * size_t(bottom - top);
        uint32_t* copy = Buffer(snapshot, count);
        for (int y = top; y < bottom; ++y) ReadRow(source, 0, y, source.width, copy + size_t(y - top) * source.width);
        sourceOffset.y -= top;
        TRaster copied = source;
        copied.height = bottom - top;
        copied.top = reinterpret_cast<uint8_t*>(copy);
        copied.stride = ptrdiff_t(source.width) * 4;
        copied.bpp = 32;
        copied.colors = nullptr;
        copied.colorCount = 0;
        source = copied;
    }
    const bool sourceMono = blit.source && source.mono, destMono = raster.mono;
    const uint32_t fore = ColorPixel(dc.state.text), back = ColorPixel(dc.state.background);
    const uint32_t sourceKey = blit.source ? ColorPixel(blit.source->state.background) : 0;
    const bool stretched = blit.source && (sw != w || sh != h);
    const int mode = dc.state.stretchMode;
    const bool combine = stretched && (mode == BLACKONWHITE || mode == WHITEONBLACK) && (sw > w || sh > h);
    const bool plainCopy = blit.source && blit.rop == TRop::SrcCopy && !sourceMono && !destMono && source.bpp == 32 &&
                           raster.bpp == 32 && !blit.mask;
    const TRaster maskRaster = blit.mask ? RasterOf(*blit.mask) : TRaster{};

    // Source raster columns of the destination columns, -1 outside the source;
    // unstretched and unmirrored copies count them instead.
    const bool direct = !stretched && !blit.flipX;
    const int directBase = blit.from.left + sourceOffset.x;
    int* columns = nullptr;
    if (blit.source && !direct) {
        if (columnMap.size() < size_t(w)) columnMap.resize(size_t(w));
        columns = columnMap.data();
        for (int i = 0; i < w; ++i) {
            const int x = blit.from.left + MapIndex(i, w, sw, blit.flipX) + sourceOffset.x;
            columns[i] = x >= 0 && x < source.width ? x : -1;
        }
    }
    auto convert = [&](uint32_t* row, int n) {
        if (sourceMono && !destMono)
            for (int i = 0; i < n; ++i) row[i] = row[i] & 0xFFFFFF ? back : fore;
        else if (!sourceMono && destMono)
            for (int i = 0; i < n; ++i) row[i] = (row[i] & 0xFFFFFF) == sourceKey ? 0xFFFFFF : 0;
    };
    // The converted source pixels of source row Sy for destination columns D0..D0+N.
    auto sourcePixels = [&](int sy, int d0, int n, uint32_t* out) {
        if (direct) {
            ReadRow(source, directBase + d0, sy, n, out);
        } else {
            for (int i = 0; i < n; ++i) out[i] = ReadPixel(source, columns[d0 + i], sy);
        }
        convert(out, n);
    };

    ForEachClipped(target, blit.area, [&](const RECT& r) {
        int left = r.left, right = r.right;
        const int d0base = r.left - target.offset.x - blit.area.left;
        // Columns whose source lies outside it are left alone.
        int first = 0, last = right - left;
        if (blit.source && direct) {
            first = std::max(first, -(directBase + d0base));
            last = std::min(last, source.width - (directBase + d0base));
        } else if (columns) {
            while (first < last && columns[d0base + first] < 0) ++first;
            while (last > first && columns[d0base + last - 1] < 0) --last;
        }
        left += first;
        right = r.left + last;
        const int n = right - left;
        if (n <= 0) return;
        const int d0 = d0base + first;
        uint32_t* src = Buffer(sourceRow, size_t(n));
        uint32_t* pat = Buffer(patternRow, size_t(n));
        uint32_t* dst = Buffer(destRow, size_t(n));
        const uint32_t* previousSource = nullptr;
        int previousSy = -1;
        for (int y = r.top; y < r.bottom; ++y) {
            const int dy = y - target.offset.y - blit.area.top;
            int sy = -1;
            if (blit.source) {
                sy = blit.from.top + MapIndex(dy, h, sh, blit.flipY) + sourceOffset.y;
                if (sy < 0 || sy >= source.height) continue;
            }
            if (plainCopy && direct) {
                std::memmove(raster.Row32(y) + left, source.Row32(sy) + directBase + d0, size_t(n) * 4);
                continue;
            }
            if (blit.mask && direct && source.bpp == 32 && raster.bpp == 32 && !sourceMono && !destMono) {
                const int my = blit.maskAt.y + dy;
                if (my < 0 || my >= maskRaster.height) continue;
                const uint8_t* bits = maskRaster.Row(my);
                const uint32_t* in = source.Row32(sy) + directBase + d0;
                uint32_t* out = raster.Row32(y) + left;
                const int mx0 = blit.maskAt.x + d0;
                const int end = std::min(n, maskRaster.width - mx0);
                auto select = [&](int i) {
                    const int mx = mx0 + i;
                    const uint32_t keep = 0u - uint32_t(bits[mx >> 3] >> (7 - (mx & 7)) & 1);
                    out[i] = (out[i] & keep) | (in[i] & ~keep);
                };
                int i = std::max(0, -mx0);
                for (; i < end && ((mx0 + i) & 7) != 0; ++i) select(i);
                // A mask byte at a time: all kept, all copied, or pixel by pixel.
                for (; i + 8 <= end; i += 8) {
                    const unsigned byte = bits[(mx0 + i) >> 3];
                    if (byte == 0xFF) continue;
                    if (byte == 0) {
                        std::memcpy(out + i, in + i, 32);
                        continue;
                    }
                    for (int j = 0; j < 8; ++j) {
                        const uint32_t keep = 0u - (byte >> (7 - j) & 1);
                        out[i + j] = (out[i + j] & keep) | (in[i + j] & ~keep);
                    }
                }
                for (; i < end; ++i) select(i);
                continue;
            }
            if (plainCopy && !combine) {
                uint32_t* out = raster.Row32(y) + left;
                if (sy == previousSy && previousSource) {
                    std::memcpy(out, previousSource, size_t(n) * 4);
                } else {
                    const uint32_t* in = source.Row32(sy);
                    for (int i = 0; i < n; ++i) out[i] = in[columns[d0 + i]];
                }
                previousSource = out;
                previousSy = sy;
                continue;
            }
            if (blit.source) {
                if (combine) {
                    // Shrinking keeps black (AND) or white (OR) pixels of every source pixel covered.
                    const int y0 = blit.from.top + int(int64_t(dy) * sh / h), y1 = blit.from.top + int(int64_t(dy + 1) * sh / h);
                    const bool keepBlack = mode == BLACKONWHITE;
                    uint32_t* acc = Buffer(combineRow, size_t(n));
                    bool firstRow = true;
                    for (int yy = y0; yy < std::max(y1, y0 + 1); ++yy) {
                        const int ry = (blit.flipY ? blit.from.top + blit.from.bottom - 1 - yy : yy) + sourceOffset.y;
                        if (ry < 0 || ry >= source.height) continue;
                        for (int i = 0; i < n; ++i) {
                            const int dx = d0 + i;
                            const int x0 = int(int64_t(dx) * sw / w), x1 = std::max(int(int64_t(dx + 1) * sw / w), x0 + 1);
                            uint32_t value = keepBlack ? ~0u : 0u;
                            for (int xx = x0; xx < x1; ++xx) {
                                const int rx = blit.from.left + (blit.flipX ? sw - 1 - xx : xx) + sourceOffset.x;
                                if (rx < 0 || rx >= source.width) continue;
                                uint32_t p = ReadPixel(source, rx, ry);
                                convert(&p, 1);
                                value = keepBlack ? value & p : value | p;
                            }
                            acc[i] = firstRow ? value : keepBlack ? acc[i] & value : acc[i] | value;
                        }
                        firstRow = false;
                    }
                    std::memcpy(src, acc, size_t(n) * 4);
                } else {
                    sourcePixels(sy, d0, n, src);
                }
            }
            ReadRow(raster, left, y, n, dst);
            if (UsesPattern(blit.rop)) FillPatternRow(target, pattern, y, left, n, pat);
            if (blit.mask) {
                const int my = blit.maskAt.y + dy;
                for (int i = 0; i < n; ++i) {
                    const int mx = blit.maskAt.x + d0 + i;
                    const bool keep = my < 0 || my >= maskRaster.height || mx < 0 || mx >= maskRaster.width ||
                                      (ReadPixel(maskRaster, mx, my) & 0xFFFFFF) != 0;
                    if (!keep) dst[i] = src[i];
                }
            } else {
                for (int i = 0; i < n; ++i) dst[i] = ApplyRop(blit.rop, src[i], pat[i], dst[i]);
            }
            WriteRow(raster, left, y, n, dst);
        }
    });
    EndDraw(target);
    return TRUE;
}

RECT Normalised(int x, int y, int width, int height, bool& flipX, bool& flipY) {
    flipX = width < 0;
    flipY = height < 0;
    if (width < 0) x += width, width = -width;
    if (height < 0) y += height, height = -height;
    return RECT{x, y, x + width, y + height};
}

} // namespace

BOOL StretchBlt(HDC destHandle, int x, int y, int width, int height, HDC sourceHandle, int sx, int sy,
                int sourceWidth, int sourceHeight, DWORD code) {
    TBlit blit{};
    blit.dest = DcOf(destHandle);
    if (!blit.dest || !RopOf(code, blit.rop)) return FALSE;
    bool fx, fy, sfx = false, sfy = false;
    blit.area = blit.dest->ToDevice(Normalised(x, y, width, height, fx, fy));
    if (UsesSource(blit.rop)) {
        blit.source = DcOf(sourceHandle);
        if (!blit.source) return FALSE;
        blit.from = blit.source->ToDevice(Normalised(sx, sy, sourceWidth, sourceHeight, sfx, sfy));
    }
    blit.flipX = fx != sfx;
    blit.flipY = fy != sfy;
    return Run(blit);
}

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy, DWORD rop) {
    return StretchBlt(dest, x, y, width, height, source, sx, sy, width, height, rop);
}

BOOL MaskBlt(HDC destHandle, int x, int y, int width, int height, HDC sourceHandle, int sx, int sy, HBITMAP mask,
             int mx, int my, DWORD rop) {
    if (!mask) return BitBlt(destHandle, x, y, width, height, sourceHandle, sx, sy, rop & 0x00FFFFFF);
    if (rop != MAKEROP4(0x00AA0029, SRCCOPY)) {
        assert(!"mask operation not supported");
        return FALSE;
    }
    TBlit blit{};
    blit.dest = DcOf(destHandle);
    blit.source = DcOf(sourceHandle);
    blit.mask = FindBitmap(mask);
    if (!blit.dest || !blit.source || !blit.mask || blit.mask->bpp != 1) return FALSE;
    if (width <= 0 || height <= 0) return TRUE;
    blit.area = blit.dest->ToDevice(RECT{x, y, x + width, y + height});
    blit.from = blit.source->ToDevice(RECT{sx, sy, sx + width, sy + height});
    blit.maskAt = POINT{mx, my};
    return Run(blit);
}
