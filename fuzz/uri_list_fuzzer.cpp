// Feeds arbitrary bytes to the URI-list parser: every path it answers is
// absolute and holds no NUL, and no more paths come out than lines went in.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/win/dataxfer/UriList.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view list(reinterpret_cast<const char*>(data), size);
    const auto paths = LocalFilesFromUriList(list, "box");
    Require(paths.size() <= size_t(std::count(list.begin(), list.end(), '\n')) + 1);
    for (const String& path : paths) {
        Require(!path.empty() && path[0] == u'/');
        Require(path.Std().find(u'\0') == std::u16string::npos);
    }
    return 0;
}
