#pragma once
// TMouse: the pointer as the framework sees it: the capture, the cursor
// position in screen coordinates, how far a drag must go before it starts and
// how many lines a wheel notch scrolls. Mouse() is the program's mouse.

#include <optional>

#include "platform/rtl/Geometry.h"
#include "platform/win/Types.h"

class TMouse {
public:
    // The calling thread's capture window; null releases the capture.
    HWND Capture() const;
    void SetCapture(HWND hwnd);
    // Moving the pointer reaches the windows when the thread next takes its input.
    TPoint CursorPos() const;
    void SetCursorPos(const TPoint& point);
    // Pixels the pointer moves with a button down before a drag begins: the
    // system's drag distance until the program sets its own.
    int DragThreshold() const;
    void SetDragThreshold(int value) { dragThreshold_ = value; }
    // Whether a control with DragMode dmAutomatic starts dragging as the
    // button goes down (true) or once the pointer passes the threshold.
    bool DragImmediate() const noexcept { return dragImmediate_; }
    void SetDragImmediate(bool value) { dragImmediate_ = value; }
    // Lines a wheel notch scrolls: the system's setting, 3 without one.
    int WheelScrollLines() const;
    bool MousePresent() const noexcept { return true; }

private:
    std::optional<int> dragThreshold_;
    bool dragImmediate_ = true;
};

TMouse& Mouse();
