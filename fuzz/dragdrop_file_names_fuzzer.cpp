// Feeds arbitrary bytes to the file-name formats of dropped data: CF_HDROP,
// the name maps of both widths and the single names. No name may hold a NUL,
// and the names written again must read back the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controls/dragdrop/FileFormats.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

std::vector<String> NamesOf(const TUnicodeStrings& list) {
    std::vector<String> names;
    for (int i = 0; i < list.Count(); ++i) {
        Require(list[i].Std().find(u'\0') == std::u16string::npos);
        names.push_back(list[i]);
    }
    return names;
}

template <class Format>
std::vector<uint8_t> Encoded(Format& format) {
    std::vector<uint8_t> block(format.BlockSize());
    Require(format.EncodeBlock(block.data(), block.size()));
    return block;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TFileClipboardFormat drop;
    drop.DecodeBlock(data, size);
    const std::vector<String> dropped = NamesOf(drop.Files());
    for (const String& name : dropped) Require(!name.empty());
    if (!dropped.empty()) {
        const std::vector<uint8_t> again = Encoded(drop);
        TFileClipboardFormat reread;
        reread.DecodeBlock(again.data(), again.size());
        Require(NamesOf(reread.Files()) == dropped);
    }

    TAnsiFilenameMapClipboardFormat narrowMap;
    TUnicodeFilenameMapClipboardFormat wideMap;
    for (TCustomFilenameMapClipboardFormat* map :
         std::initializer_list<TCustomFilenameMapClipboardFormat*>{&narrowMap, &wideMap}) {
        Require(map->DecodeBlock(data, size) == (map->FileMaps().Count() > 0));
        NamesOf(map->FileMaps());
    }
    if (wideMap.HasData()) {
        const std::vector<String> names = NamesOf(wideMap.FileMaps());
        const std::vector<uint8_t> again = Encoded(wideMap);
        TUnicodeFilenameMapClipboardFormat reread;
        reread.DecodeBlock(again.data(), again.size());
        Require(NamesOf(reread.FileMaps()) == names);
    }

    TUnicodeFilenameClipboardFormat nameW;
    nameW.DecodeBlock(data, size);
    Require(nameW.Filename().Std().find(u'\0') == std::u16string::npos);
    TAnsiFilenameClipboardFormat name;
    name.DecodeBlock(data, size);
    Require(name.Filename().Std().find(u'\0') == std::u16string::npos);
    return 0;
}
