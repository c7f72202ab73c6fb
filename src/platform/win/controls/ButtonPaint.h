#pragma once
// Painting of the "BUTTON" class in the classic look: push buttons, check
// boxes, radio buttons and group boxes, and the owner-draw request. Internal.

#include "platform/win/controls/Controls.h"
#include "platform/win/icons/Icons.h"

// What a button shows at one moment.
struct TButtonLook {
    DWORD style = 0;            // the window's style (BS_ type in the low bits)
    WPARAM check = BST_UNCHECKED;
    bool pushed = false;
    bool focused = false;
    bool defaultLook = false;   // the dark frame of the default push button
    bool enabled = true;
    HFONT font = nullptr;
    UINT imageType = IMAGE_BITMAP;
    HANDLE image = nullptr;     // shown instead of the caption when set
};

// Paints the button's client area into DC (which the caller prepared).
void PaintButton(HWND hwnd, HDC dc, const TButtonLook& look);

// The face of a push button filling Rect: the dark frame of the default
// button, then raised or pressed. Answers the area inside it for the content
// (not yet moved for the pressed look).
RECT DrawPushButtonFace(HDC dc, RECT rect, bool pushed, bool isDefault);
