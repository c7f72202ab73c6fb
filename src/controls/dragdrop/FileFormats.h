#pragma once
// Lists of file names: the shell's CF_HDROP list, the single names of
// "FileName" and "FileNameW", and the name maps "FileNameMap" and
// "FileNameMapW"; gathered by TFileDataFormat and TFileMapDataFormat.

#include "controls/dragdrop/DataFormat.h"
#include "controls/dragdrop/TextFormats.h"
#include "controls/dragdrop/UnicodeStrings.h"

// A DROPFILES block, read and written by the platform's codec.
class TFileClipboardFormat : public TCustomSimpleClipboardFormat {
    RTL_CLASS(TFileClipboardFormat, TCustomSimpleClipboardFormat);

public:
    TFileClipboardFormat() : TCustomSimpleClipboardFormat(CF_HDROP) {}
    TUnicodeStringList& Files() noexcept { return files_; }
    bool Wide() const noexcept { return wide_; }
    void SetWide(bool value) noexcept { wide_ = value; }

    // Only intact names; none from a block of 20 bytes or less.
    bool DecodeBlock(const uint8_t* data, size_t size) override;
    // The header and the names that fit before the final NUL.
    bool EncodeBlock(uint8_t* buffer, size_t size) override;
    size_t BlockSize() const override;
    void Clear() override { files_.Clear(); }
    bool HasData() const override { return files_.Count() > 0; }

private:
    TUnicodeStringList files_;
    bool wide_ = true;
};

// One name as 8-bit text (UTF-8) up to its first NUL.
class TAnsiFilenameClipboardFormat : public TCustomAnsiTextClipboardFormat {
    RTL_CLASS(TAnsiFilenameClipboardFormat, TCustomAnsiTextClipboardFormat);

public:
    TAnsiFilenameClipboardFormat() : TCustomAnsiTextClipboardFormat(ClassClipboardFormat()) {}
    static CLIPFORMAT ClassClipboardFormat() { return DRAGDROP_REGISTERED_FORMAT(u"FileName"); }
    static void DeclareConversions();
    String Filename() const { return String::FromUtf8(Text()); }
    void SetFilename(const String& value) { SetText(value.ToUtf8()); }
    bool Assign(TCustomDataFormat& source) override;
    bool AssignTo(TCustomDataFormat& dest) override;
};

// One name as UTF-16 text, cut at its first NUL: a name never carries its terminator.
class TUnicodeFilenameClipboardFormat : public TCustomUnicodeTextClipboardFormat {
    RTL_CLASS(TUnicodeFilenameClipboardFormat, TCustomUnicodeTextClipboardFormat);

public:
    TUnicodeFilenameClipboardFormat() : TCustomUnicodeTextClipboardFormat(ClassClipboardFormat()) {}
    static CLIPFORMAT ClassClipboardFormat() { return DRAGDROP_REGISTERED_FORMAT(u"FileNameW"); }
    static void DeclareConversions();
    const String& Filename() const noexcept { return Text(); }
    void SetFilename(const String& value) { SetText(value); }
    bool DecodeBlock(const uint8_t* data, size_t size) override;
    bool Assign(TCustomDataFormat& source) override;
    bool AssignTo(TCustomDataFormat& dest) override;
};

// A list of NUL-terminated names ended by an empty one, without header.
class TCustomFilenameMapClipboardFormat : public TCustomSimpleClipboardFormat {
    RTL_CLASS(TCustomFilenameMapClipboardFormat, TCustomSimpleClipboardFormat);

public:
    TCustomFilenameMapClipboardFormat(CLIPFORMAT format, bool wide)
        : TCustomSimpleClipboardFormat(format), wide_(wide) {}
    TUnicodeStringList& FileMaps() noexcept { return fileMaps_; }

    // True with at least one intact name.
    bool DecodeBlock(const uint8_t* data, size_t size) override;
    bool EncodeBlock(uint8_t* buffer, size_t size) override;
    size_t BlockSize() const override { return Encoded().size(); }
    void Clear() override { fileMaps_.Clear(); }
    bool HasData() const override { return fileMaps_.Count() > 0; }

private:
    std::vector<uint8_t> Encoded() const;

    TUnicodeStringList fileMaps_;
    bool wide_;
};

class TAnsiFilenameMapClipboardFormat : public TCustomFilenameMapClipboardFormat {
    RTL_CLASS(TAnsiFilenameMapClipboardFormat, TCustomFilenameMapClipboardFormat);

public:
    TAnsiFilenameMapClipboardFormat() : TCustomFilenameMapClipboardFormat(ClassClipboardFormat(), false) {}
    static CLIPFORMAT ClassClipboardFormat() { return DRAGDROP_REGISTERED_FORMAT(u"FileNameMap"); }
};

class TUnicodeFilenameMapClipboardFormat : public TCustomFilenameMapClipboardFormat {
    RTL_CLASS(TUnicodeFilenameMapClipboardFormat, TCustomFilenameMapClipboardFormat);

public:
    TUnicodeFilenameMapClipboardFormat() : TCustomFilenameMapClipboardFormat(ClassClipboardFormat(), true) {}
    static CLIPFORMAT ClassClipboardFormat() { return DRAGDROP_REGISTERED_FORMAT(u"FileNameMapW"); }
};

// The dropped files' full paths, in the order the source gave them.
class TFileDataFormat : public TCustomDataFormat {
    RTL_CLASS(TFileDataFormat, TCustomDataFormat);

public:
    explicit TFileDataFormat(TDragDropComponent* owner);
    static void DeclareConversions();
    TUnicodeStringList& Files() noexcept { return files_; }

    bool Assign(TClipboardFormat& source) override;
    bool AssignTo(TClipboardFormat& dest) override;
    void Clear() override { files_.Clear(); }
    bool HasData() const override { return files_.Count() > 0; }

private:
    TUnicodeStringList files_;
};

// The names the dropped files are to get at the target.
class TFileMapDataFormat : public TCustomDataFormat {
    RTL_CLASS(TFileMapDataFormat, TCustomDataFormat);

public:
    explicit TFileMapDataFormat(TDragDropComponent* owner);
    static void DeclareConversions();
    TUnicodeStringList& FileMaps() noexcept { return fileMaps_; }

    bool Assign(TClipboardFormat& source) override;
    bool AssignTo(TClipboardFormat& dest) override;
    void Clear() override { fileMaps_.Clear(); }
    bool HasData() const override { return fileMaps_.Count() > 0; }

private:
    TUnicodeStringList fileMaps_;
};
