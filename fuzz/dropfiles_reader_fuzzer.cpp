// Feeds arbitrary bytes to the DROPFILES reader, directly and as an HDROP
// through DragQueryFileW: both must give the same names, none holding a NUL,
// and the names written again must read back the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win/dataxfer/DropFiles.h"
#include "platform/win/dataxfer/Media.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const TDropFilesContent content = ReadDropFiles(data, size);
    for (const String& name : content.names) Require(!name.empty() && name.Std().find(u'\0') == std::u16string::npos);

    HDROP drop = GlobalFromBytes(data, size);
    Require(drop != nullptr);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    Require(count == content.names.size());
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::u16string name(length + 1, u'?');
        Require(DragQueryFileW(drop, i, name.data(), length + 1) == length);
        name.resize(length);
        Require(name == content.names[i].Std());
        // A one-character buffer gets only the terminator.
        WCHAR one = u'?';
        Require(DragQueryFileW(drop, i, &one, 1) == 0 && one == 0);
    }
    DragFinish(drop);

    if (content.wide) {
        const std::vector<uint8_t> again = WriteDropFiles(content.names, content.point, content.nonClient);
        Require(ReadDropFiles(again.data(), again.size()).names == content.names);
    }
    return 0;
}
