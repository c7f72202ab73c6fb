#pragma once
// Writes version blocks in the 32-bit form (see VersionInfo.h): the build's
// tool writes each program's block with it, and tests build their own.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/rtl/String.h"

struct TVersionBlockNode {
    String Key;
    uint16_t Type = 1;           // 0 binary, 1 text
    std::vector<uint8_t> Value;  // the bytes written after the key
    uint16_t ValueLength = 0;    // as stored: characters for text, bytes for binary values
    std::vector<TVersionBlockNode> Children;

    // A text value, stored with its terminating NUL.
    static TVersionBlockNode Text(const String& key, const String& text);
    static TVersionBlockNode Binary(const String& key, std::span<const uint8_t> bytes);
    // An entry without a value.
    static TVersionBlockNode Parent(const String& key, std::vector<TVersionBlockNode> children);
};

// Raises EArgumentException when an entry grows beyond 65535 bytes.
std::vector<uint8_t> WriteVersionBlock(const TVersionBlockNode& root);

// What a program's block says.
struct TVersionResourceInfo {
    String Version; // "major.minor[.release[.build]]"
    String ProductName;
    String CompanyName;
    String FileDescription;
    String InternalName;
    String OriginalFilename;
};

// The fixed information from Version (both file and product version), one
// string table 080404b0 holding the standard keys that have a value, and the
// translation 0x0804/0x04B0. Raises EConvertError for a version that does not read.
std::vector<uint8_t> ProgramVersionBlock(const TVersionResourceInfo& info);
