// Feeds arbitrary bytes to an image list as the "Bitmap" data of its stream
// (a BMP strip of the images, then one of the masks for a masked list); the
// first byte chooses the image size and whether the list is masked. Data
// that does not read may only raise EReadError and leave the list as it was;
// what reads with images must write data that reads back to the same data. Nothing may
// stay allocated.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/UiUnits.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/gdi/Gdi.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// An image list whose stream data this target reads and writes.
class TFuzzImageList : public TImageList {
public:
    TFuzzImageList(int side, bool masked) : TImageList(nullptr, side, side) { SetMasked(masked); }
    using TImageList::ReadData;
    using TImageList::WriteData;

    TBytes Data() {
        TBytesStream stream;
        WriteData(stream);
        return stream.Bytes();
    }
};

void StartOnce() {
    static const bool started = [] {
        RegisterUiUnits();
        InitializeUnits();
        std::atexit(FinalizeUnits);
        return true;
    }();
    Require(started);
}

// Reads Data into a list of images Side pixels square, and checks what it wrote.
void ReadAndWriteBack(int side, bool masked, const uint8_t* data, size_t size) {
    TFuzzImageList list(side, masked);
    TBytesStream in(TBytes(data, data + size));
    try {
        list.ReadData(in);
    } catch (const EReadError&) {
        Require(list.Count() == 0);
        return;
    }
    // Only a list with images writes its data (an empty one is no data at all).
    if (list.Count() == 0) return;
    const TBytes written = list.Data();
    TFuzzImageList again(side, masked);
    TBytesStream back(written);
    again.ReadData(back);
    Require(again.Count() == list.Count());
    Require(again.Data() == written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    StartOnce();
    const size_t bitmaps = GdiLiveObjects(OBJ_BITMAP);
    ReadAndWriteBack(1 + data[0] % 32, data[0] & 0x80, data + 1, size - 1);
    Require(GdiLiveObjects(OBJ_BITMAP) == bitmaps);
    return 0;
}
