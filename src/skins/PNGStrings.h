#pragma once
// Texts of the PNG decoder and the colour manager. Every %s of the decoder's
// texts is "PNG".

inline constexpr char16_t kPNGName[] = u"PNG";
inline constexpr char16_t kInvalidImageFormat[] = u"Cannot load image. Invalid or unexpected %s image format.";
inline constexpr char16_t kNotSupported[] = u"Cannot load image. %s not supported for %s files.";
inline constexpr char16_t kCompressionScheme[] = u"The compression scheme is";
inline constexpr char16_t kInvalidPalette[] = u"Cannot load image. Palette in %s file is invalid.";
inline constexpr char16_t kCrcError[] = u"Cannot load image. CRC error found in %s file.";
inline constexpr char16_t kCompressionError[] = u"Cannot load image. Compression error found in %s file.";
inline constexpr char16_t kExtraCompressedData[] = u"Cannot load image. Extra compressed data found in %s file.";
inline constexpr char16_t kUnknownCriticalChunk[] = u"Cannot load PNG image. Unexpected but critical chunk detected.";
inline constexpr char16_t kInvalidColorFormat[] = u"Invalid color format in %s file.";
inline constexpr char16_t kLZ77Error[] = u"LZ77 decompression error.";
inline constexpr char16_t kPreparing[] = u"Preparing...";
inline constexpr char16_t kTransfering[] = u"Transfering...";

inline constexpr char16_t kBadColorDepth[] = u"Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
inline constexpr char16_t kBadSampleCount[] = u"Sample count per pixel does not correspond to the given color scheme.";
inline constexpr char16_t kIndexedConversion[] =
    u"Conversion between indexed and non-indexed pixel formats is not supported.";
inline constexpr char16_t kNoConversionMethod[] = u"Color conversion failed. Could not find a proper method.";
