#pragma once
// TXtTextStream: text over a byte stream. Converts between UTF-16 code units and
// the bytes of a code page (UTF-8, UTF-16, UTF-32 or a Windows code page, single-
// or multibyte), detects byte-order marks when reading and writes them when
// creating. Invalid input decodes to U+FFFD; characters outside the BMP travel as
// surrogate pairs on the UTF-16 side.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/String.h"

RTL_DECLARE_EXCEPTION(EXtTextStream, Exception);

constexpr int CP_UTF16 = 1200;
constexpr int CP_UTF32 = 12000;

// Creation flags.
constexpr uint8_t xtfUnicode = 0x01;   // UTF-16, UTF-32 or UTF-8 rather than a Windows code page
constexpr uint8_t xtfReversed = 0x02;  // big-endian
constexpr uint8_t xtfUtf8Mark = 0x10;  // write EF BB BF before UTF-8 text

enum class TXtAccess { Read, Write };

class TXtTextStream {
public:
    // Reading detects a byte-order mark at the stream's start; writing truncates
    // the stream and writes the mark of the code page.
    TXtTextStream(TStream& stream, int codePage, uint8_t flags, TXtAccess access);

    // Reads up to Count UTF-16 code units; fewer only at the end of the input.
    int Read(char16_t* buffer, int count);
    // True when every byte was taken by the stream.
    bool WriteWide(std::u16string_view text);

    int Codepage() const noexcept { return codePage_; }
    // Later bytes are converted with the new code page.
    void SetCodepage(int codePage);
    // Byte position of the next byte to decode: the end of the last character
    // handed out, or of a letter the code page's converter holds back to join a
    // combining mark that may follow.
    int64_t Position();

private:
    void DetectMark();
    void WriteMark();
    int NextByte();  // -1 at the end
    bool PeekBytes(size_t count);
    char16_t DecodeUtf8(uint8_t lead);
    char32_t DecodeUnits(int size);
    bool DecodeCodePageStep();

    TStream& stream_;
    int codePage_;
    uint8_t flags_;
    std::string in_;  // bytes read from the stream and not yet decoded, from inPos_
    size_t inPos_ = 0;
    std::u16string pending_;  // decoded code units not yet handed out, from pendingPos_
    size_t pendingPos_ = 0;
    // For a code page other than UTF-8, -16 and -32, opened at first use.
    std::unique_ptr<TCodePageDecoder> decoder_;
    std::unique_ptr<TCodePageEncoder> encoder_;
    std::string encoded_;  // the bytes of the last write, kept for its capacity
    bool decoderDone_ = false;  // the decoder has seen the end of the input
};
