#include "skins/PNGGraphic.h"

#include <algorithm>
#include <cstring>

#include <zlib.h>

#include "platform/rtl/Format.h"
#include "platform/ui/Brush.h"
#include "platform/ui/Canvas.h"
#include "platform/win/gdi/Gdi.h"
#include "skins/Crc32.h"
#include "skins/LZ77Decoder.h"
#include "skins/PNGFilters.h"
#include "skins/PNGStrings.h"

RTL_PUBLISHED_NONE(TPNGGraphic);

namespace {

constexpr uint8_t kPNGSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
// The largest chunk length PNG allows.
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;
// Chunk bodies are read at most this much at a time, so a length the stream
// does not back up costs no more memory than the bytes really there.
constexpr size_t kChunkPiece = 64 * 1024;

struct TAdam7Pass {
    int startRow, startColumn, rowStep, columnStep;
    uint8_t pixelMask;
};
constexpr TAdam7Pass kAdam7Passes[7] = {
    {0, 0, 8, 8, 0x80}, {0, 4, 8, 8, 0x08}, {4, 0, 8, 4, 0x88}, {0, 2, 4, 4, 0x22},
    {2, 0, 4, 2, 0xAA}, {0, 1, 2, 2, 0x55}, {1, 0, 2, 1, 0xFF},
};

uint32_t BigEndian32(const uint8_t* p) noexcept {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
uint32_t BigEndian16(const uint8_t* p) noexcept { return uint32_t(p[0]) << 8 | p[1]; }
TColor RGBColor(uint32_t r, uint32_t g, uint32_t b) noexcept { return TColor(r | g << 8 | b << 16); }

[[noreturn]] void RaisePNGError(const char16_t* text) { throw EInvalidGraphic(Format(text, {kPNGName})); }

} // namespace

TPNGGraphic::TPNGGraphic() = default;

TPNGGraphic::~TPNGGraphic() {
    if (palette_) DeleteObject(ToGdiObject(palette_));
}

void TPNGGraphic::Assign(TPersistent* source) {
    if (auto* png = dynamic_cast<TPNGGraphic*>(source)) imageProperties_ = png->imageProperties_;
    TBitmap::Assign(source);
}

bool TPNGGraphic::ChunkIs(const char (&type)[5]) const noexcept {
    uint32_t mine, wanted;
    std::memcpy(&mine, header_.ChunkType.data(), 4);
    std::memcpy(&wanted, type, 4);
    return ((mine ^ wanted) & 0xDFDFDFDF) == 0;
}

void TPNGGraphic::ReadChunkHeader() {
    uint8_t bytes[8];
    stream_->ReadBuffer(bytes, 8);
    header_.Length = BigEndian32(bytes);
    std::memcpy(header_.ChunkType.data(), bytes + 4, 4);
    currentCRC_ = Crc32(bytes + 4, 4);
    if (header_.Length > kMaxChunkLength) RaisePNGError(kInvalidImageFormat);
}

void TPNGGraphic::ReadChunkBody() {
    rawBuffer_.clear();
    for (size_t left = header_.Length; left;) {
        const size_t piece = std::min(left, kChunkPiece), had = rawBuffer_.size();
        rawBuffer_.resize(had + piece);
        stream_->ReadBuffer(rawBuffer_.data() + had, int64_t(piece));
        left -= piece;
    }
    if (!rawBuffer_.empty()) currentCRC_ = UpdateCrc32(currentCRC_, rawBuffer_.data(), rawBuffer_.size());
    CheckChunkCrc();
}

void TPNGGraphic::CheckChunkCrc() {
    uint8_t bytes[4];
    stream_->ReadBuffer(bytes, 4);
    if (BigEndian32(bytes) != currentCRC_) RaisePNGError(kCrcError);
}

bool TPNGGraphic::ReadImageProperties(TStream& stream, uint32_t) {
    imageProperties_ = TImageProperties{};
    imageProperties_.FileGamma = 1.0f;
    stream_ = &stream;
    uint8_t signature[8];
    if (stream.Read(signature, 8) != 8 || std::memcmp(signature, kPNGSignature, 8) != 0) return false;
    ReadChunkHeader();
    if (!ChunkIs("IHDR") || header_.Length != 13) return false;
    TImageProperties& p = imageProperties_;
    p.Options.Include(ioBigEndian);
    ReadChunkBody();
    const uint8_t* body = rawBuffer_.data();
    const uint32_t width = BigEndian32(body), height = BigEndian32(body + 4);
    if (width == 0 || height == 0 || width > kMaxChunkLength || height > kMaxChunkLength) return false;
    p.Width = width;
    p.Height = height;
    p.Compression = body[10] == 0 ? ctLZ77 : ctUnknown;
    p.BitsPerSample = body[8];
    static constexpr TColorScheme kSchemes[7] = {csG, csUnknown, csRGB, csIndexed, csGA, csUnknown, csRGBA};
    static constexpr uint8_t kSamples[7] = {1, 0, 3, 1, 2, 0, 4};
    const uint8_t colorType = body[9];
    p.ColorScheme = colorType < 7 ? kSchemes[colorType] : csUnknown;
    p.SamplesPerPixel = colorType < 7 ? kSamples[colorType] : 0;
    p.BitsPerPixel = uint8_t(p.SamplesPerPixel * p.BitsPerSample);
    p.FilterMode = body[11];
    p.Interlaced = body[12] != 0;
    p.HasAlpha = p.ColorScheme == csGA || p.ColorScheme == csRGBA || p.ColorScheme == csBGRA;
    for (;;) {
        ReadChunkHeader();
        if (ChunkIs("gAMA")) {
            ReadChunkBody();
            if (rawBuffer_.size() >= 4) p.FileGamma = float(BigEndian32(rawBuffer_.data())) / 100000.0f;
            return true;
        }
        stream.Seek(int64_t(header_.Length) + 4, soCurrent);
        if (ChunkIs("IEND")) return true;
    }
}

void TPNGGraphic::LoadFromStream(TStream& stream) {
    SetHandle(nullptr);
    SetTransparent(false);
    SetTransparentColor(clDefault);
    basePosition_ = stream.Position();
    decoder_.reset();
    if (!ReadImageProperties(stream)) RaisePNGError(kInvalidImageFormat);
    stream.SetPosition(basePosition_ + 8);
    progressRect_ = TRect{0, 0, int(imageProperties_.Width), 1};
    Progress(psStarting, 0, false, progressRect_, kPreparing);
    bool failed = true;
    try {
        ResetLoadState();
        ReadImageHeader();
        ChunkLoop();
        failed = false;
    } catch (...) {
        EndLoad(true);
        throw;
    }
    EndLoad(failed);
}

void TPNGGraphic::EndLoad(bool failed) {
    bool ended = true;
    if (decoder_) {
        try {
            decoder_->DecodeEnd();
        } catch (const EGraphicCompression&) {
            ended = false;
        }
        decoder_.reset();
    }
    rawBuffer_ = {};
    if (palette_) DeleteObject(ToGdiObject(palette_));
    palette_ = nullptr;
    Progress(psEnding, 0, false, progressRect_, String());
    if (!ended && !failed) throw EGraphicCompression(kLZ77Error);
}

// Nothing of an earlier load decides this one: the gamma flag and the depths
// the gamma table was last built for are reset with the rest.
void TPNGGraphic::ResetLoadState() {
    if (palette_) DeleteObject(ToGdiObject(palette_));
    palette_ = nullptr;
    transparency_.clear();
    backgroundColor_ = 0xFFFFFF;
    transparentColor_ = kNoTransparentColor;
    rawBuffer_ = {};
    colorManager_.SetSourceOptions({coNeedByteSwap});
    colorManager_.SetTargetOptions(colorManager_.TargetOptions().Exclude(coApplyGamma));
    colorManager_.SetSourceBitsPerSample(8);
    colorManager_.SetTargetBitsPerSample(8);
    paletteCount_ = 0;
    formatChosen_ = false;
    idatLeft_ = 0;
    idatOpen_ = false;
    currentSource_ = nullptr;
    sourceLeft_ = 0;
}

void TPNGGraphic::ReadImageHeader() {
    ReadChunkHeader();
    ReadChunkBody();
    if (imageProperties_.Compression != ctLZ77)
        throw EInvalidGraphic(Format(kNotSupported, {kCompressionScheme, kPNGName}));
    decoder_ = std::make_unique<TLZ77Decoder>(Z_PARTIAL_FLUSH, false);
    decoder_->DecodeInit();
}

void TPNGGraphic::ChunkLoop() {
    for (;;) {
        ReadChunkHeader();
        if (ChunkIs("IDAT")) {
            Progress(psEnding, 0, false, progressRect_, String());
            DecodeImageData();
        } else if (ChunkIs("PLTE")) {
            ReadPaletteChunk();
            continue;
        } else if (ChunkIs("gAMA")) {
            ReadGammaChunk();
            continue;
        } else if (ChunkIs("bKGD")) {
            ReadBackgroundChunk();
            continue;
        } else if (ChunkIs("tRNS")) {
            ReadTransparencyChunk();
            continue;
        }
        stream_->Seek(int64_t(header_.Length) + 4, soCurrent);
        if (ChunkIs("IEND")) return;
        if (!(header_.ChunkType[0] & 0x20)) throw EInvalidGraphic(kUnknownCriticalChunk);
    }
}

void TPNGGraphic::ReadPaletteChunk() {
    if (header_.Length % 3) RaisePNGError(kInvalidPalette);
    ReadChunkBody();
    if (imageProperties_.ColorScheme != csIndexed) return;
    if (!formatChosen_) sourceBPP_ = ChoosePixelFormat();
    if (palette_) DeleteObject(ToGdiObject(palette_));
    const void* data[1] = {rawBuffer_.data()};
    palette_ = colorManager_.CreateColorPalette(data, 0, header_.Length / 3, false);
    paletteCount_ = header_.Length / 3;
}

void TPNGGraphic::ReadGammaChunk() {
    ReadChunkBody();
    if (rawBuffer_.size() < 4) return;
    colorManager_.SetGamma(float(BigEndian32(rawBuffer_.data())) / 100000.0f, 2.2f);
    colorManager_.SetTargetOptions(colorManager_.TargetOptions().Include(coApplyGamma));
    imageProperties_.Options.Include(ioUseGamma);
}

TColor TPNGGraphic::GreyRampColor(uint32_t sample) const {
    const int depth = imageProperties_.BitsPerSample;
    uint32_t level, step;
    if (depth == 16) {
        level = sample * 255 / 65535, step = 1;
    } else {
        // 2-bit greys are shown in a 4-bit ramp.
        const int rampDepth = depth == 2 ? 4 : depth;
        level = std::min(sample, (1u << depth) - 1) * ((1u << rampDepth) - 1) / ((1u << depth) - 1);
        step = 255 / ((1u << rampDepth) - 1);
    }
    const uint32_t value = level * step;
    const uint32_t grey = colorManager_.TargetOptions().Contains(coApplyGamma) ? colorManager_.GammaTable()[value] : value;
    return RGBColor(grey, grey, grey);
}

// Three big-endian samples scaled to 8 bits the way the pixels are (16-bit
// images) or taken by their low byte.
static TColor TrueColorOf(const uint8_t* body, int depth) {
    uint32_t c[3];
    for (int k = 0; k < 3; ++k) {
        const uint32_t v = BigEndian16(body + 2 * k);
        c[k] = depth == 16 ? v * 255 / 65535 : v & 0xFF;
    }
    return RGBColor(c[0], c[1], c[2]);
}

void TPNGGraphic::ReadBackgroundChunk() {
    ReadChunkBody();
    const size_t size = rawBuffer_.size();
    const uint8_t* body = rawBuffer_.data();
    const int depth = imageProperties_.BitsPerSample;
    switch (imageProperties_.ColorScheme) {
    case csRGB:
    case csRGBA:
        if (size >= 6) backgroundColor_ = TrueColorOf(body, depth);
        break;
    case csG:
    case csGA:
        if (size >= 2 && (depth <= 8 || depth == 16)) backgroundColor_ = GreyRampColor(BigEndian16(body));
        break;
    case csIndexed: {
        if (size < 1) break;
        // The palette entry that shows this index (2-bit indexes are spread x 5 over 16 entries).
        const uint32_t index = body[0], spread = depth == 2 ? 5 : 1;
        backgroundColor_ = 0;
        if (palette_ && index < paletteCount_ && depth <= 8 && index < (1u << depth)) {
            const std::vector<RGBQUAD> entries = ColorTableOfPalette(palette_, 8);
            if (index * spread < entries.size()) {
                const RGBQUAD& e = entries[index * spread];
                backgroundColor_ = RGBColor(e.rgbRed, e.rgbGreen, e.rgbBlue);
            }
        }
        break;
    }
    default: break;
    }
}

void TPNGGraphic::ReadTransparencyChunk() {
    ReadChunkBody();
    const size_t size = rawBuffer_.size();
    const uint8_t* body = rawBuffer_.data();
    const int depth = imageProperties_.BitsPerSample;
    switch (imageProperties_.ColorScheme) {
    case csG:
        if (size < 2) break;
        if (depth < 8) {
            transparentColor_ = GreyRampColor(BigEndian16(body));
        } else {
            const uint32_t g = (depth == 16 ? BigEndian16(body) * 255 / 65535 : BigEndian16(body)) & 0xFF;
            transparentColor_ = RGBColor(g, g, g);
        }
        break;
    case csRGB:
        if (size >= 6) transparentColor_ = TrueColorOf(body, depth);
        break;
    case csIndexed:
        transparency_.assign(256, 255);
        std::copy_n(body, std::min<size_t>(size, 256), transparency_.begin());
        break;
    default: break;
    }
}

int TPNGGraphic::ChoosePixelFormat() {
    const int depth = imageProperties_.BitsPerSample;
    const TColorScheme scheme = imageProperties_.ColorScheme;
    auto oneOf = [depth](std::initializer_list<int> depths) {
        return std::find(depths.begin(), depths.end(), depth) != depths.end();
    };
    const bool valid = scheme == csG         ? oneOf({1, 2, 4, 8, 16})
                       : scheme == csIndexed ? oneOf({1, 2, 4, 8})
                                             : oneOf({8, 16}) && (scheme == csRGB || scheme == csGA || scheme == csRGBA);
    if (!valid) RaisePNGError(kInvalidColorFormat);

    TColorManager& cm = colorManager_;
    const bool paletted = scheme == csG || scheme == csIndexed || scheme == csGA;
    const int targetDepth = !paletted ? 8 : depth == 2 ? 4 : depth == 16 || scheme == csGA ? 8 : depth;
    const int samples = paletted ? 1 : scheme == csRGB ? 3 : 4;
    cm.SetSourceColorScheme(scheme);
    cm.SetTargetColorScheme(scheme == csG ? csG : paletted ? csIndexed : scheme == csRGB ? csBGR : csBGRA);
    cm.SetSourceBitsPerSample(uint8_t(depth));
    cm.SetTargetBitsPerSample(uint8_t(targetDepth));
    cm.SetSourceSamplesPerPixel(uint8_t(samples));
    cm.SetTargetSamplesPerPixel(uint8_t(samples));
    if (scheme == csG || scheme == csGA) {
        if (palette_) DeleteObject(ToGdiObject(palette_));
        palette_ = cm.CreateGrayscalePalette(false);
    }
    SetPixelFormat(paletted ? PixelFormatOfBits(targetDepth) : samples == 3 ? pf24bit : pf32bit);
    formatChosen_ = true;
    switch (scheme) {
    case csG: return (depth + 7) / 8;
    case csIndexed: return 1;
    default: return depth * imageProperties_.SamplesPerPixel / 8;
    }
}

void TPNGGraphic::PrepareBitmap() {
    if (!formatChosen_) sourceBPP_ = ChoosePixelFormat();
    if (palette_) {
        SetPalette(palette_);
        palette_ = nullptr;
    }
    SetSize(int(imageProperties_.Width), int(imageProperties_.Height));
    TCanvas* canvas = Canvas();
    canvas->Lock();
    try {
        canvas->Brush()->SetColor(backgroundColor_);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(TRect{0, 0, Width(), Height()});
    } catch (...) {
        canvas->Unlock();
        throw;
    }
    canvas->Unlock();
    if (transparentColor_ != kNoTransparentColor) {
        SetTransparentColor(transparentColor_);
        SetTransparent(true);
    }
}

void TPNGGraphic::ConvertRow(const uint8_t* row, int y, uint8_t mask) {
    const uint8_t* sources[1] = {row};
    colorManager_.ConvertRow(sources, ScanLine(y), imageProperties_.Width, mask);
}

void TPNGGraphic::DecodeImageData() {
    Progress(psStarting, 0, false, progressRect_, kTransfering);
    PrepareBitmap();
    const int64_t depth = imageProperties_.BitsPerSample, width = imageProperties_.Width;
    const int height = int(imageProperties_.Height);
    const int64_t multiplier = depth == 16 ? sourceBPP_ / 2 : sourceBPP_;
    auto rowBytes = [&](int64_t pixels) { return uint64_t((pixels * depth + 7) / 8 * multiplier + 1); };
    const size_t bpp = size_t(sourceBPP_);
    idatOpen_ = true;
    idatLeft_ = header_.Length;
    {
        std::vector<uint8_t> current(rowBytes(width)), previous(current.size());
        const String noText;
        // Undoes the filter of the row just inflated and converts it into scan line Y.
        auto decodeRow = [&](uint64_t size, int y, uint8_t mask) {
            UnfilterRow(current[0], current.data() + 1, previous.data() + 1, size - 1, bpp);
            ConvertRow(current.data() + 1, y, mask);
            std::swap(current, previous);
        };
        auto reportRow = [&](int y) {
            Progress(psRunning, uint8_t(int64_t(y) * 100 / height), false, progressRect_, noText);
            ++progressRect_.Top;
            ++progressRect_.Bottom;
        };
        if (!imageProperties_.Interlaced) {
            const uint64_t size = current.size();
            for (int y = 0; y < height && InflateRow(current.data(), size); ++y) {
                decodeRow(size, y, 0xFF);
                reportRow(y);
            }
        } else {
            bool complete = true;
            for (int pass = 0; pass < 7 && complete; ++pass) {
                const TAdam7Pass& p = kAdam7Passes[pass];
                if (p.startColumn >= width) continue;
                const uint64_t size = rowBytes((width + p.columnStep - p.startColumn - 1) / p.columnStep);
                std::fill_n(previous.begin(), size, uint8_t(0));
                for (int y = p.startRow; y < height; y += p.rowStep) {
                    if (!(complete = InflateRow(current.data(), size))) break;
                    decodeRow(size, y, p.pixelMask);
                    if (pass == 6) reportRow(y);
                }
            }
        }
    }
    DropImageData();
}

bool TPNGGraphic::InflateRow(uint8_t* row, uint64_t size) {
    uint8_t* dest = row;
    uint8_t* const end = row + size;
    while (dest < end) {
        if (sourceLeft_ == 0 && !FeedImageData()) return false;
        decoder_->Decode(currentSource_, dest, int32_t(sourceLeft_),
                         int32_t(std::min<uint64_t>(uint64_t(end - dest), uint64_t(INT32_MAX))));
        sourceLeft_ = decoder_->AvailableInput();
        const int result = decoder_->ZLibResult();
        if (result == Z_STREAM_END) {
            if (dest < end || sourceLeft_ || idatLeft_) RaisePNGError(kExtraCompressedData);
            return true;
        }
        if (result != Z_OK) RaisePNGError(kCompressionError);
    }
    return true;
}

bool TPNGGraphic::FeedImageData() {
    while (idatLeft_ == 0) {
        if (idatOpen_) {
            CheckChunkCrc();
            idatOpen_ = false;
            ReadChunkHeader();
        }
        if (!ChunkIs("IDAT")) return false;
        idatLeft_ = header_.Length;
        idatOpen_ = true;
    }
    const size_t piece = size_t(std::min<int64_t>(idatLeft_, int64_t(kChunkPiece)));
    rawBuffer_.resize(piece);
    stream_->ReadBuffer(rawBuffer_.data(), int64_t(piece));
    currentCRC_ = UpdateCrc32(currentCRC_, rawBuffer_.data(), piece);
    idatLeft_ -= int64_t(piece);
    currentSource_ = rawBuffer_.data();
    sourceLeft_ = uint32_t(piece);
    return true;
}

void TPNGGraphic::DropImageData() {
    for (;;) {
        if (!idatOpen_) {
            if (!ChunkIs("IDAT")) return;
            idatOpen_ = true;
            idatLeft_ = header_.Length;
        }
        while (idatLeft_) FeedImageData();
        CheckChunkCrc();
        idatOpen_ = false;
        ReadChunkHeader();
    }
}
