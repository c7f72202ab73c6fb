#include <algorithm>
#include <atomic>
#include <iterator>

#include "platform/win/core/RawInput.h"
#include "platform/win/core/Tree.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/input/Input.h"
#include "platform/win/paint/Surface.h"

namespace {

std::atomic<HCURSOR> currentCursor{nullptr};
std::atomic<int> cursorCount{0};

constexpr WORD kStandardCursors[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                                     32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651,
                                     32760, 32761, 32762};

} // namespace

HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    const WORD id = WORD(reinterpret_cast<uintptr_t>(name));
    if (!instance && IS_INTRESOURCE(name) && std::find(std::begin(kStandardCursors), std::end(kStandardCursors), id) !=
                                                 std::end(kStandardCursors))
        return reinterpret_cast<HCURSOR>(uintptr_t{id});
    return static_cast<HCURSOR>(LoadImageW(instance, name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HCURSOR SetCursor(HCURSOR cursor) {
    const HCURSOR old = currentCursor.exchange(cursor);
    if (old != cursor) Presenter()->CursorChanged();
    return old;
}

HCURSOR GetCursor() { return currentCursor.load(); }

int ShowCursor(BOOL show) {
    const int count = show ? ++cursorCount : --cursorCount;
    if (count == 0 || count == -1) Presenter()->CursorChanged();
    return count;
}

HCURSOR VisibleCursor() noexcept { return cursorCount.load() >= 0 ? currentCursor.load() : nullptr; }

BOOL GetCursorPos(POINT* pt) {
    if (!pt) return FALSE;
    *pt = CursorPosition();
    return TRUE;
}

BOOL SetCursorPos(int x, int y) {
    TRawInput raw;
    raw.kind = TRawKind::MouseMove;
    raw.pt = POINT{x, y};
    QueueRawInput(std::move(raw));
    return TRUE;
}
