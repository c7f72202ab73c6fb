#pragma once
// A memory DC with one bitmap selected for as long as it lives. Internal to
// the graphics classes.

#include "platform/win/gdi/Gdi.h"

class TMemoryDc {
public:
    explicit TMemoryDc(HBITMAP bitmap) : dc(CreateCompatibleDC(nullptr)), old_(SelectObject(dc, ToGdiObject(bitmap))) {}
    ~TMemoryDc() {
        SelectObject(dc, old_);
        DeleteDC(dc);
    }
    TMemoryDc(const TMemoryDc&) = delete;
    TMemoryDc& operator=(const TMemoryDc&) = delete;

    const HDC dc;

private:
    const HGDIOBJ old_;
};
