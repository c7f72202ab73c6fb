#pragma once
// The DROPFILES layout: a 20-byte header followed by NUL-terminated names and
// an empty name. The reader takes blocks from other programs and stays inside
// them: a header whose name offset lies outside [20, size) gives no names, an
// odd trailing byte of wide names is ignored and a last name without its
// terminator is dropped (a cut path would name another file).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/dataxfer/DataTransfer.h"

struct TDropFilesContent {
    std::vector<String> names;
    POINT point{};
    bool nonClient = false;
    bool wide = true;
};

// The block for Names: wide (UTF-16) or narrow (the process code page, UTF-8).
std::vector<uint8_t> WriteDropFiles(const std::vector<String>& names, POINT point = {}, bool nonClient = false,
                                    bool wide = true);
// The same block in a new global block (an HDROP); null when it cannot be made.
HGLOBAL CreateDropFilesHandle(const std::vector<String>& names, POINT point = {}, bool nonClient = false);

TDropFilesContent ReadDropFiles(const uint8_t* data, size_t size);
// A name list without header (as in DROPFILES after pFiles), ending at an
// empty name or at the end of the bytes.
std::vector<String> ReadNameList(const uint8_t* data, size_t size, bool wide);

// Where each name of a block lies (offsets and lengths in characters of the
// name area), for reading names one at a time without copying them all.
struct TDropFilesIndex {
    struct TName {
        size_t offset;
        size_t length;
    };
    std::vector<TName> names;
    size_t start = 0; // byte offset of the name area
    bool wide = true;
    POINT point{};
    bool nonClient = false;
};
TDropFilesIndex IndexDropFiles(const uint8_t* data, size_t size);
// The name I of an indexed block (the same bytes the index was made from).
String DropFilesName(const TDropFilesIndex& index, const uint8_t* data, size_t i);
