#pragma once
// TPNGGraphic: a bitmap that decodes PNG files and streams (chunks with
// CRC-32, zlib image data, the five row filters, Adam7 interlacing) into one
// of the framework's pixel formats:
//
//   grey 1, 2, 4, 8, 16 bits   pf1bit / pf4bit / pf8bit over a grey ramp (2 bits: values x 5)
//   truecolour 8, 16           pf24bit
//   indexed 1, 2, 4, 8         pf1bit / pf4bit / pf8bit over the PLTE colours
//   grey + alpha 8, 16         pf8bit over a grey ramp, alpha dropped
//   truecolour + alpha 8, 16   pf32bit, straight alpha in the fourth byte
//
// Every malformed stream raises EInvalidGraphic (or one of its subclasses
// EGraphicCompression and EColorConversionError); a stream that ends inside a
// chunk raises the stream's read error. Image data that ends before the last
// row is no error: the rows not decoded keep the background colour. The
// decoder keeps no state shared between objects.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/Set.h"
#include "platform/ui/graphics/Bitmap.h"
#include "skins/ColorManager.h"

class TLZ77Decoder;

enum class TImageOption { ioBigEndian, ioUseGamma };
using enum TImageOption;
using TImageOptions = TSet<TImageOption>;

enum class TCompressionType { ctUnknown, ctNone, ctLZ77 };
using enum TCompressionType;

struct TImageProperties {
    TImageOptions Options;
    uint32_t Width = 0;
    uint32_t Height = 0;
    TColorScheme ColorScheme = csUnknown;
    uint8_t BitsPerSample = 0;
    uint8_t SamplesPerPixel = 0;
    uint8_t BitsPerPixel = 0;
    TCompressionType Compression = ctUnknown;
    float FileGamma = 0;
    bool Interlaced = false;
    bool HasAlpha = false;
    uint8_t FilterMode = 0;
};

struct TPNGChunkHeader {
    uint32_t Length = 0;
    std::array<uint8_t, 4> ChunkType{};
};

// No transparent colour (FTransparentColor).
inline constexpr TColor kNoTransparentColor = 0x1FFFFFFF;

class TPNGGraphic : public TBitmap {
    RTL_CLASS(TPNGGraphic, TBitmap);

public:
    TPNGGraphic();
    ~TPNGGraphic() override;

    // A PNG graphic's image properties, then the bitmap.
    void Assign(TPersistent* source) override;
    // The PNG that starts at the stream's position.
    void LoadFromStream(TStream& stream) override;
    // True when the stream holds the PNG signature and a valid IHDR (13
    // bytes, width and height 1 to 2^31 - 1); fills ImageProperties, with the
    // gamma of a gAMA chunk before the image data. The index is not used.
    bool ReadImageProperties(TStream& stream, uint32_t imageIndex = 0);

    // From bKGD; white by default.
    TColor BackgroundColor() const noexcept { return backgroundColor_; }
    // The 256 alpha values of an indexed image's tRNS (empty without one);
    // the pixels are not changed by it.
    const std::vector<uint8_t>& Transparency() const noexcept { return transparency_; }
    TColorManager& ColorManager() noexcept { return colorManager_; }
    const TImageProperties& ImageProperties() const noexcept { return imageProperties_; }

    // Whether drawing mirrors the image.
    bool Reflected = false;

private:
    void ReadChunkHeader();
    // The body into the raw buffer, read in bounded pieces; raises the CRC error on a mismatch.
    void ReadChunkBody();
    void CheckChunkCrc();
    bool ChunkIs(const char (&type)[5]) const noexcept;
    void ResetLoadState();
    // Ends the decoder, frees the load's buffers and reports the end.
    void EndLoad(bool failed);
    void ReadImageHeader();
    void ChunkLoop();
    void ReadPaletteChunk();
    void ReadGammaChunk();
    void ReadBackgroundChunk();
    void ReadTransparencyChunk();
    // The grey-ramp colour of a grey sample of the image's depth.
    TColor GreyRampColor(uint32_t sample) const;
    int ChoosePixelFormat();
    void PrepareBitmap();
    void DecodeImageData();
    // False when the image data ended before the row was complete.
    bool InflateRow(uint8_t* row, uint64_t size);
    // The next piece of image data into the raw buffer; false when no IDAT chunk follows.
    bool FeedImageData();
    // Reads what is left of the image data after the last row.
    void DropImageData();
    void ConvertRow(const uint8_t* row, int y, uint8_t mask);

    TColorManager colorManager_;
    TRect progressRect_;
    int64_t basePosition_ = 0;
    TStream* stream_ = nullptr;
    TImageProperties imageProperties_;
    std::unique_ptr<TLZ77Decoder> decoder_;
    int64_t idatLeft_ = 0;  // body bytes of the current IDAT chunk not read yet
    bool idatOpen_ = false; // whose CRC is still to be read
    std::vector<uint8_t> rawBuffer_;
    const uint8_t* currentSource_ = nullptr;
    uint32_t sourceLeft_ = 0;
    TPNGChunkHeader header_;
    uint32_t currentCRC_ = 0;
    int sourceBPP_ = 1;
    bool formatChosen_ = false;
    HPALETTE palette_ = nullptr; // built for this load, handed to the bitmap with the image
    uint32_t paletteCount_ = 0;  // colours of the PLTE chunk
    std::vector<uint8_t> transparency_;
    TColor transparentColor_ = kNoTransparentColor;
    TColor backgroundColor_ = 0xFFFFFF;
};
