// Feeds arbitrary bytes to the file group descriptor readers of both widths:
// a block is taken only when it holds all its descriptors, and then every
// name can be read and written back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "controls/dragdrop/FileGroupFormats.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TAnsiFileGroupDescriptorClipboardFormat narrow;
    TUnicodeFileGroupDescriptorClipboardFormat wide;
    for (TFileGroupDescriptorCustomClipboardFormat* group :
         std::initializer_list<TFileGroupDescriptorCustomClipboardFormat*>{&narrow, &wide}) {
        if (!group->DecodeBlock(data, size)) continue;
        Require(group->BlockSize() <= size);
        for (uint32_t i = 0; i < group->Count(); ++i) {
            const String name = group->GetFilename(i);
            Require(name.Std().find(u'\0') == std::u16string::npos);
            group->SetFilename(i, name);
        }
    }
    return 0;
}
