#pragma once
// TXMLTextStream: the character reader of the parser and the writer of the
// serialiser. One UTF-16 code unit at a time with one character of push-back,
// line counting, a hold buffer for the text being collected, and the
// indentation state of the output.

#include <climits>
#include <cstdint>
#include <string>

#include "platform/rtl/String.h"
#include "support/xml/XtTextStream.h"

// Output formats.
enum : uint8_t { xofNone = 0, xofFlat = 1, xofIndent = 2 };

enum class TXmlStreamMode { Read, Write };

class TXMLTextStream {
public:
    TXMLTextStream(TStream& stream, int codePage, TXmlStreamMode mode);

    int Codepage() const noexcept { return text_.Codepage(); }
    // Text written before is still converted with the old code page.
    void SetCodepage(int codePage);
    uint8_t OutputFormat() const noexcept { return outputFormat_; }
    void SetOutputFormat(uint8_t value) noexcept { outputFormat_ = value; }
    void LevelUp() noexcept;
    void LevelDown() noexcept;
    void BreakLine(bool force);

    void PushBack() noexcept { pushedBack_ = true; }
    // False at the end of the input.
    bool NextChar(char16_t& c);
    // True when all Count characters were read.
    bool ReadChars(String& s, int count);

    void Hold(char16_t c) { held_ += c; }
    String TakeHeld();
    void DropHeld() noexcept { held_.clear(); }

    // Written text is kept and handed to the byte stream in blocks: by Flush,
    // which a writer calls at its end, and whenever a block is full. Both raise
    // EWriteError when the byte stream does not take all bytes.
    void Write(std::u16string_view s);
    void Flush();
    // Writes S with " & ' < > as their references when Escape is set and each LF
    // as CR LF when CrLf is set: in runs between the replaced characters, without a copy of S.
    void WriteText(std::u16string_view s, bool escape, bool crLf);

    // Where a parse error happened.
    int Line() const noexcept { return line_; }
    int Column() const noexcept { return column_; }
    int64_t ErrorPosition() { return text_.Position() - (pushedBack_ ? 1 : 0); }
    const String& PreviousHeld() const noexcept { return previousHeld_; }
    const String& LineText() const noexcept { return lineText_; }
    bool PreviousChar(char16_t& c) const noexcept;

    // Stands for level 0 after some content: lines still break, without indentation.
    static constexpr int kLevelMarker = INT_MAX;

private:
    TXtTextStream text_;
    std::u16string unflushed_;
    uint8_t outputFormat_ = xofNone;
    int level_ = -1;
    String held_;
    String previousHeld_;
    String lineText_;
    int line_ = 0;
    int column_ = 0;
    char16_t previous_ = 0;
    bool hasPrevious_ = false;
    bool canPushBack_ = false;
    bool pushedBack_ = false;
};
