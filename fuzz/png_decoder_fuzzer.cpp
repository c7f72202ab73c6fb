// Feeds arbitrary bytes to the PNG decoder through a memory stream. Only the
// documented failures may come out; pictures whose header asks for more than
// 4096 x 4096 pixels are left out, so giant allocations stay out of the run.
// No bitmap or palette may stay allocated.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/rtl/Streams.h"
#include "platform/ui/UiErrors.h"
#include "platform/win/gdi/Gdi.h"
#include "skins/PNGGraphic.h"

namespace {

constexpr uint32_t kLargestFuzzedSide = 4096;

void Require(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t bitmaps = GdiLiveObjects(OBJ_BITMAP), palettes = GdiLiveObjects(OBJ_PAL);
    {
        TBytesStream stream(TBytes(data, data + size));
        TPNGGraphic graphic;
        try {
            if (graphic.ReadImageProperties(stream) && graphic.ImageProperties().Width <= kLargestFuzzedSide &&
                graphic.ImageProperties().Height <= kLargestFuzzedSide) {
                stream.SetPosition(0);
                graphic.LoadFromStream(stream);
                if (!graphic.Empty()) {
                    Require(graphic.Width() == int(graphic.ImageProperties().Width));
                    graphic.ScanLine(graphic.Height() - 1);
                }
            }
        } catch (const EInvalidGraphic&) {
        } catch (const EReadError&) {
        } catch (const EOutOfResources&) {
        }
    }
    Require(GdiLiveObjects(OBJ_BITMAP) == bitmaps && GdiLiveObjects(OBJ_PAL) == palettes);
    return 0;
}
