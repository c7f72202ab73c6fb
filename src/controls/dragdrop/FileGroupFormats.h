#pragma once
// File group descriptors: cItems and then that many descriptors of files
// that need not exist on disk, each 72 bytes of attributes and a name field
// of 260 characters (8-bit UTF-8 or UTF-16).

#include <string>
#include <vector>

#include "controls/dragdrop/SimpleClipboardFormat.h"

// A name as a descriptor's 8-bit field holds it: UTF-8 of at most 259 bytes,
// cut after the last whole character that fits.
std::string DescriptorNameUtf8(const String& name);
// A name as a descriptor's wide field holds it: at most 259 units, not
// ending between the two halves of a surrogate pair.
std::u16string DescriptorNameUtf16(const String& name);

class TFileGroupDescriptorCustomClipboardFormat : public TCustomSimpleClipboardFormat {
    RTL_CLASS(TFileGroupDescriptorCustomClipboardFormat, TCustomSimpleClipboardFormat);

public:
    static constexpr size_t kDescriptorHead = 72;
    static constexpr size_t kNameField = 260;

    TFileGroupDescriptorCustomClipboardFormat(CLIPFORMAT format, size_t characterSize)
        : TCustomSimpleClipboardFormat(format), characterSize_(characterSize) {}

    size_t DescriptorSize() const noexcept { return kDescriptorHead + kNameField * characterSize_; }
    // The size of a group of Count descriptors.
    uint64_t GroupSize(uint64_t count) const noexcept { return 4 + count * DescriptorSize(); }
    // cItems; 0 without a group.
    uint32_t Count() const noexcept;
    // A zeroed group of Count descriptors.
    void SetCount(uint32_t count);
    // Raise "Filename index out of bounds (%d)" for an index not below Count.
    String GetFilename(uint32_t index) const;
    // Cut to 259 characters so that the terminator fits.
    void SetFilename(uint32_t index, const String& name);
    // Descriptor Index whole: its 72 bytes of attributes, then the name field.
    const uint8_t* Descriptor(uint32_t index) const;
    uint8_t* Descriptor(uint32_t index);
    const std::vector<uint8_t>& FileGroupDescriptor() const noexcept { return group_; }
    void CopyFrom(const std::vector<uint8_t>& group) { group_ = group; }

    // A block of at least 4 bytes whose cItems descriptors it holds whole.
    bool DecodeBlock(const uint8_t* data, size_t size) override;
    bool EncodeBlock(uint8_t* buffer, size_t size) override;
    size_t BlockSize() const override { return group_.empty() ? 0 : static_cast<size_t>(GroupSize(Count())); }
    void Clear() override { group_.clear(); }
    bool HasData() const override { return Count() > 0; }

private:
    void CheckIndex(uint32_t index) const;

    size_t characterSize_;
    std::vector<uint8_t> group_;
};

class TAnsiFileGroupDescriptorClipboardFormat : public TFileGroupDescriptorCustomClipboardFormat {
    RTL_CLASS(TAnsiFileGroupDescriptorClipboardFormat, TFileGroupDescriptorCustomClipboardFormat);

public:
    TAnsiFileGroupDescriptorClipboardFormat() : TFileGroupDescriptorCustomClipboardFormat(ClassClipboardFormat(), 1) {}
    static CLIPFORMAT ClassClipboardFormat() { return DRAGDROP_REGISTERED_FORMAT(u"FileGroupDescriptor"); }
};

class TUnicodeFileGroupDescriptorClipboardFormat : public TFileGroupDescriptorCustomClipboardFormat {
    RTL_CLASS(TUnicodeFileGroupDescriptorClipboardFormat, TFileGroupDescriptorCustomClipboardFormat);

public:
    TUnicodeFileGroupDescriptorClipboardFormat() : TFileGroupDescriptorCustomClipboardFormat(ClassClipboardFormat(), 2) {}
    static CLIPFORMAT ClassClipboardFormat() { return DRAGDROP_REGISTERED_FORMAT(u"FileGroupDescriptorW"); }
};
