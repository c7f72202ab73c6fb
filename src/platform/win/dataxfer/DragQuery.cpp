// Files dropped on windows: the HDROP a WM_DROPFILES carries.

#include <algorithm>
#include <cstring>

#include "platform/win/User.h"
#include "platform/win/dataxfer/DropFiles.h"
#include "platform/win/dataxfer/GlobalBlocks.h"

namespace {

// The index of the block last read, so that reading its names one by one
// parses it once.
struct TIndexedDrop {
    HDROP drop = nullptr;
    uint64_t stamp = 0;
    TDropFilesIndex index;
};

const TDropFilesIndex* IndexOf(HDROP drop, const TGlobalView& view) {
    thread_local TIndexedDrop cached;
    if (!view.data) return nullptr;
    if (cached.drop != drop || cached.stamp != view.stamp) {
        cached.index = IndexDropFiles(view.data, view.size);
        cached.drop = drop;
        cached.stamp = view.stamp;
    }
    return &cached.index;
}

} // namespace

UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR buffer, UINT size) {
    const TGlobalView view = ViewGlobal(drop);
    const TDropFilesIndex* names = IndexOf(drop, view);
    if (!names) return 0;
    if (index == 0xFFFFFFFF) return UINT(names->names.size());
    if (index >= names->names.size()) return 0;
    // Wide names are copied straight from the block (maybe unaligned), narrow ones decoded first.
    String decoded;
    const uint8_t* units;
    size_t length;
    if (names->wide) {
        const auto& name = names->names[index];
        units = view.data + names->start + 2 * name.offset;
        length = name.length;
    } else {
        decoded = DropFilesName(*names, view.data, index);
        units = reinterpret_cast<const uint8_t*>(decoded.c_str());
        length = decoded.size();
    }
    if (!buffer) return UINT(length);
    if (size == 0) return 0;
    const size_t copied = std::min<size_t>(length, size - 1);
    std::memcpy(buffer, units, 2 * copied);
    buffer[copied] = 0;
    return UINT(copied);
}

BOOL DragQueryPoint(HDROP drop, POINT* point) {
    const TGlobalView view = ViewGlobal(drop);
    if (!view.data || view.size < sizeof(DROPFILES)) return FALSE;
    DROPFILES header;
    std::memcpy(&header, view.data, sizeof header);
    if (point) *point = header.pt;
    return header.fNC ? FALSE : TRUE;
}

void DragFinish(HDROP drop) { GlobalFree(drop); }

void DragAcceptFiles(HWND hwnd, BOOL accept) {
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    const LONG_PTR wanted = accept ? exStyle | WS_EX_ACCEPTFILES : exStyle & ~LONG_PTR(WS_EX_ACCEPTFILES);
    if (wanted != exStyle) SetWindowLongPtrW(hwnd, GWL_EXSTYLE, wanted);
}
