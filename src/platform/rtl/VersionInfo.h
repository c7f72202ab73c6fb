#pragma once
// Version information of files: the VS_VERSIONINFO block. The block the build
// embeds in each program (resource "1" of kind "VERSION", see
// ostrel_add_version_info in cmake/Resources.cmake) answers for the running
// program, blocks registered for other file names answer for those, and any
// other file has none.
//
// A block is a tree of entries: 16-bit total length, 16-bit value length
// (characters for text, bytes for binary values), 16-bit type (0 binary,
// 1 text), the key as NUL-terminated UTF-16, padding to 4 bytes, the value,
// padding to 4 bytes, the children. In the older 16-bit form there is no type
// and the key is NUL-terminated 8-bit text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/rtl/String.h"

struct VS_FIXEDFILEINFO {
    uint32_t dwSignature;
    uint32_t dwStrucVersion;
    uint32_t dwFileVersionMS;
    uint32_t dwFileVersionLS;
    uint32_t dwProductVersionMS;
    uint32_t dwProductVersionLS;
    uint32_t dwFileFlagsMask;
    uint32_t dwFileFlags;
    uint32_t dwFileOS;
    uint32_t dwFileType;
    uint32_t dwFileSubtype;
    uint32_t dwFileDateMS;
    uint32_t dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

constexpr uint32_t VS_FFI_SIGNATURE = 0xFEEF04BD;
constexpr uint32_t VS_FFI_STRUCVERSION = 0x00010000;
constexpr uint32_t VS_FF_DEBUG = 0x01;
constexpr uint32_t VS_FF_PRERELEASE = 0x02;
constexpr uint32_t VS_FF_PATCHED = 0x04;
constexpr uint32_t VS_FF_PRIVATEBUILD = 0x08;
constexpr uint32_t VS_FF_INFOINFERRED = 0x10;
constexpr uint32_t VS_FF_SPECIALBUILD = 0x20;
constexpr uint32_t VS_FFI_FILEFLAGSMASK = 0x3F;
constexpr uint32_t VOS_UNKNOWN = 0;
constexpr uint32_t VFT_APP = 1;

inline constexpr const char16_t* RT_VERSION = u"VERSION";

// Makes a copy of Block answer for FileName (compared ignoring ASCII case).
// Raises EArgumentException when the block's own length does not fit in it.
void RegisterVersionBlock(const String& fileName, std::span<const uint8_t> block);
void UnregisterVersionBlock(const String& fileName);

// The size of FileName's block; 0 with errno ENODATA when it has none. Handle gets 0.
uint32_t GetFileVersionInfoSizeW(const String& fileName, uint32_t* handle);
// Copies FileName's block into Data; false with errno ENODATA when it has
// none, ERANGE when Len cannot hold all of it.
bool GetFileVersionInfoW(const String& fileName, uint32_t handle, uint32_t len, void* data);
// The value at SubBlock ("\" the fixed information, "\VarFileInfo\Translation",
// "\StringFileInfo\080404b0\ProductName") of a block that GetFileVersionInfoW
// filled: its address and length (characters for text, bytes otherwise).
// False when there is no such entry or the block is malformed on the way.
bool VerQueryValueW(const void* block, const String& subBlock, const void** buffer, uint32_t* len);

// One entry of a block, checked: the entry lies within Limit, which lies
// within the block; the key ends inside the entry, the value too.
struct TVersionEntry {
    size_t Start;
    size_t End; // Start + the entry's total length
    uint16_t ValueLength;
    uint16_t Type; // the 16-bit form is always text
    String Key;
    size_t ValueStart; // after the key, rounded up to 4
    size_t ValueSize;  // in bytes
    size_t ChildrenStart; // after the value, rounded up to 4 (at most End)
};
// Nothing when any of that does not hold. Wide: the 32-bit form.
std::optional<TVersionEntry> ReadVersionEntry(std::span<const uint8_t> block, size_t offset, size_t limit, bool wide);
// The block is in the 32-bit form: the word at offset 4 (the root's type) is below 2.
bool IsWideVersionBlock(std::span<const uint8_t> block);
inline size_t AlignVersionOffset(size_t offset) { return (offset + 3) & ~size_t{3}; }
