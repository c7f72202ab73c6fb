#include "controls/XcFileNames.h"

#include <sys/stat.h>

#include "platform/rtl/Files.h"

bool IsValidFileName(const String& name) { return !name.empty() && name.find(u'\0') == String::npos; }

String LongNameOfFile(const String& path) {
    struct stat info {};
    if (!IsValidFileName(path) || lstat(path.ToUtf8().c_str(), &info) != 0) return String();
    return ExtractFileName(path);
}

String ShortNameOfFile(const String& path) { return LongNameOfFile(path); }

String ExpandLongPath(const String& path) { return path; }

String ContractShortPath(const String& path) { return path; }
