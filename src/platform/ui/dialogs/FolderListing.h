#pragma once
// What the file dialog lists: a folder's entries (hidden ones left out),
// folders first and names in the order people expect (CompareFileNames), and
// the dialog filter's patterns that pick the files.

#include <cstdint>
#include <vector>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/String.h"

// One choice of a dialog filter: "Video files|*.mp4;*.mkv" gives the
// description and two masks.
struct TFileFilter {
    String description;
    std::vector<String> masks;
};

// The pairs of "description|masks|description|masks"; a last description
// without masks is dropped, blanks around masks are trimmed.
std::vector<TFileFilter> ParseFileFilter(const String& filter);
// Whether Name matches one of Masks, ignoring case ("*.*": every name);
// no masks match every name.
bool MatchesFileFilter(const String& name, const std::vector<String>& masks);

struct TFolderEntry {
    String name;
    bool folder = false;
    int64_t size = 0;
    TDateTime modified = 0;
};

// The entries of Folder that are not hidden, folders first, each group in
// CompareFileNames order; empty when the folder cannot be read.
std::vector<TFolderEntry> ReadFolder(const String& folder);
// The entries shown under Masks: every folder, and the files that match.
std::vector<const TFolderEntry*> FilterFolder(const std::vector<TFolderEntry>& entries,
                                              const std::vector<String>& masks);
