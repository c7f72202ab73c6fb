#pragma once
// A GNU gettext message catalogue (MO file) in memory: a header of 32-bit
// numbers in the file's byte order (magic 0x950412DE, revision, string count
// N, offset of the table of original strings, offset of the table of
// translations), each table N entries of length and offset, originals sorted
// by their bytes, every string followed by a NUL.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/rtl/String.h"

class TMoFile {
public:
    // Takes the catalogue's bytes; FileName names it in the error. Raises
    // ETrIOError unless the magic number, both tables and every entry (inside
    // the bytes, NUL after the string) are sound.
    TMoFile(std::vector<uint8_t> bytes, const String& fileName);
    // Reads the file; a file that cannot be read raises ETrIOError as well.
    static TMoFile FromFile(const String& fileName);

    // The translation of Key (UTF-8 bytes, compared as unsigned bytes), if
    // the catalogue has it. A binary search: the originals must be sorted.
    std::optional<std::string_view> Lookup(std::string_view key) const;
    uint32_t Count() const noexcept { return count_; }

private:
    uint32_t Number(uint64_t offset) const;
    std::string_view Entry(uint32_t table, uint32_t index) const;

    std::vector<uint8_t> bytes_;
    bool bigEndian_ = false;
    uint32_t count_ = 0;
    uint32_t originals_ = 0;
    uint32_t translations_ = 0;
};
