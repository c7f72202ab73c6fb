#pragma once
// INI files: "[Section]" headers followed by "Key=Value" lines.
//
// Rules of this implementation:
// - Section and key names are trimmed and compare case-insensitively (Unicode
//   case folding), or exactly in a TMemIniFile made case-sensitive.
// - Keys and values are trimmed on reading; a value enclosed in a pair of double
//   quotes loses them, and writing adds them to a value that would otherwise
//   change on reading (surrounding spaces, surrounding quotes).
// - Duplicates: the first occurrence of a key wins on reading and is the one
//   written; DeleteKey removes every occurrence. A later duplicate section is
//   merged into the first one, so a rewritten file holds it once.
// - Comment lines (';' or '#'), blank lines and lines before the first section
//   are kept on rewriting; a changed key line is rewritten as "Key=Value".
// - Files are read as UTF-8 (a byte-order mark is skipped), or, when they are
//   not UTF-8, in the ANSI code page earlier versions wrote them in (LegacyText.h),
//   and written back in that code page (UTF-8 when a new character does not fit
//   it), with LF line ends, atomically (AtomicFile.h): after a crash the file is
//   either the old or the new one. On any failure EIniFileException is raised
//   and the old file stays as it was. A file that reads in neither keeps its
//   bytes as "<file>.damaged" when it is first written.
// - Names and values that cannot be stored (line breaks; '=' or a leading
//   ';', '#' or '[' in a key; ']' in a section; empty names) raise EIniFileException.

#include <cstdint>
#include <list>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/String.h"
#include "platform/rtl/TObject.h"

class TStrings;

class TCustomIniFile : public TObject {
public:
    explicit TCustomIniFile(const String& fileName) : fileName_(fileName) {}

    const String& FileName() const noexcept { return fileName_; }

    virtual String ReadString(const String& section, const String& ident, const String& defaultValue) const = 0;
    virtual void WriteString(const String& section, const String& ident, const String& value) = 0;
    // Fill Strings (cleared first) with the key names, the section names or "Key=Value" pairs.
    virtual void ReadSection(const String& section, TStrings& strings) const = 0;
    virtual void ReadSections(TStrings& strings) const = 0;
    virtual void ReadSectionValues(const String& section, TStrings& strings) const = 0;
    virtual bool SectionExists(const String& section) const = 0;
    virtual bool ValueExists(const String& section, const String& ident) const = 0;
    virtual void EraseSection(const String& section) = 0;
    virtual void DeleteKey(const String& section, const String& ident) = 0;
    virtual void UpdateFile() = 0;

    // Decimal, or hexadecimal after "$" or "0x" (up to the full unsigned width);
    // anything else, or out of range, gives Default.
    int ReadInteger(const String& section, const String& ident, int defaultValue) const;
    void WriteInteger(const String& section, const String& ident, int value);
    int64_t ReadInt64(const String& section, const String& ident, int64_t defaultValue) const;
    void WriteInt64(const String& section, const String& ident, int64_t value);
    // Reads integers (non-zero is true) and "true"/"false" in any case; writes "1" or "0".
    bool ReadBool(const String& section, const String& ident, bool defaultValue) const;
    void WriteBool(const String& section, const String& ident, bool value);
    // Floats, dates and times use the invariant settings: '.' decimals,
    // "yyyy-mm-dd" dates, "hh:nn:ss" times. Unreadable text gives Default.
    double ReadFloat(const String& section, const String& ident, double defaultValue) const;
    void WriteFloat(const String& section, const String& ident, double value);
    TDateTime ReadDateTime(const String& section, const String& ident, TDateTime defaultValue) const;
    void WriteDateTime(const String& section, const String& ident, TDateTime value);
    TDateTime ReadDate(const String& section, const String& ident, TDateTime defaultValue) const;
    void WriteDate(const String& section, const String& ident, TDateTime value);
    TDateTime ReadTime(const String& section, const String& ident, TDateTime defaultValue) const;
    void WriteTime(const String& section, const String& ident, TDateTime value);

private:
    String fileName_;
};

// Holds the whole file in memory; UpdateFile writes it back, nothing else does.
class TMemIniFile : public TCustomIniFile {
public:
    // Loads FileName when it exists; an empty name gives a list that is never written.
    // CaseSensitive compares section and key names exactly (they are still trimmed).
    explicit TMemIniFile(const String& fileName, bool caseSensitive = false);
    ~TMemIniFile() override;

    bool CaseSensitive() const noexcept { return caseSensitive_; }

    String ReadString(const String& section, const String& ident, const String& defaultValue) const override;
    void WriteString(const String& section, const String& ident, const String& value) override;
    void ReadSection(const String& section, TStrings& strings) const override;
    void ReadSections(TStrings& strings) const override;
    void ReadSectionValues(const String& section, TStrings& strings) const override;
    bool SectionExists(const String& section) const override;
    bool ValueExists(const String& section, const String& ident) const override;
    void EraseSection(const String& section) override;
    void DeleteKey(const String& section, const String& ident) override;
    void UpdateFile() override;

    void Clear();
    // The file's lines, as UpdateFile would write them, and their replacement.
    void GetStrings(TStrings& strings) const;
    void SetStrings(const TStrings& strings);

private:
    struct Line;
    struct Section;
    // Trimmed section and key names, hashed and compared as the name mode says,
    // in place: a lookup copies no name.
    struct NameHash {
        bool caseSensitive;
        size_t operator()(std::u16string_view name) const noexcept;
    };
    struct NameEqual {
        bool caseSensitive;
        bool operator()(std::u16string_view a, std::u16string_view b) const noexcept;
    };
    // Keys are views of names held by what they index.
    template <class T>
    using NameIndex = std::unordered_map<std::u16string_view, T, NameHash, NameEqual>;

    Section* FindSection(std::u16string_view name) const;
    Section& AddSection(const String& name);
    void Parse(const TStrings& lines);
    // Where new lines go: after the last non-blank line, so that a blank separator stays last.
    static std::list<Line>::iterator EndOfContent(std::list<Line>& lines);

    bool caseSensitive_;
    // How the file was read, and so how it is written.
    int codePage_ = CP_UTF8;
    bool keepDamagedCopy_ = false;
    std::list<Line> preamble_;
    std::vector<std::unique_ptr<Section>> sections_;
    NameIndex<Section*> byName_;
};

// An INI file whose changes are kept in memory and written, all at once, by
// UpdateFile and by the destructor; writing N keys costs one write of the file.
//
// Every TIniFile of this process open on the same file (the same path once
// links are resolved) shares one copy of it, so each sees the changes of the
// others at once. The copy is read when the first of them opens the file, and
// again when another one opens it while no change is pending and the file has
// changed on disk since. Other readers (a TMemIniFile, another process) see the
// changes once they are written. Calls may come from several threads.
//
// UpdateFile is the way to learn about a failed write: it raises
// EIniFileException and the changes stay pending. The destructor writes the
// pending changes too, but it cannot raise: a failure there is reported on
// stderr, and the changes are lost unless another TIniFile on the file writes
// them later.
class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(const String& fileName);
    ~TIniFile() override;

    String ReadString(const String& section, const String& ident, const String& defaultValue) const override;
    void WriteString(const String& section, const String& ident, const String& value) override;
    void ReadSection(const String& section, TStrings& strings) const override;
    void ReadSections(TStrings& strings) const override;
    void ReadSectionValues(const String& section, TStrings& strings) const override;
    bool SectionExists(const String& section) const override;
    bool ValueExists(const String& section, const String& ident) const override;
    void EraseSection(const String& section) override;
    void DeleteKey(const String& section, const String& ident) override;
    // Writes the pending changes, if any.
    void UpdateFile() override;

private:
    struct Shared;

    std::shared_ptr<Shared> shared_;
};
