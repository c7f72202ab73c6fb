// Feeds arbitrary bytes to the "Shell IDList Array" reader: it gives a folder
// and at least one item, each list whole inside the block, or nothing; the
// lists written again read back the same, and every item's path (if any)
// can be asked for.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "controls/dragdrop/CidaBlock.h"
#include "controls/dragdrop/PidlFormats.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<TItemIdBytes> lists = ReadCida(data, size);
    Require(lists.empty() || lists.size() >= 2);
    for (const TItemIdBytes& list : lists) {
        Require(list.size() <= size);
        Require(ItemIdListSizeWithin(reinterpret_cast<const uint8_t*>(list.data()), list.size()) == list.size());
    }
    if (lists.empty()) return 0;
    const std::vector<uint8_t> again = WriteCida(lists);
    Require(ReadCida(again.data(), again.size()) == lists);

    TPIDLClipboardFormat format;
    Require(format.DecodeBlock(data, size));
    for (int i = 0; i < format.Filenames().Count(); ++i)
        Require(format.Filenames()[i].Std().find(u'\0') == std::u16string::npos);
    return 0;
}
