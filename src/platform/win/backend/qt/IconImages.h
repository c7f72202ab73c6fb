#pragma once
// Our icons and image cursors as Qt images.

#include <QIcon>
#include <QImage>

#include "platform/win/Types.h"

// The icon's pixels with straight alpha, and its hot spot when asked; a null
// image for standard cursor markers and unknown handles.
QImage ImageOfIcon(HICON icon, POINT* hotSpot = nullptr);
// The window icon of a top-level window: its small and big icons, either may be null.
QIcon WindowIconOf(HICON smallIcon, HICON bigIcon);
// A new icon of Image (any format) centred on Size x Size pixels, scaled
// down when larger; null for a null image.
HICON IconOfImage(const QImage& image, int size);
