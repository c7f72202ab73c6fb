#pragma once
// The font object behind an HFONT. Internal.

#include <memory>
#include <mutex>

#include "platform/win/gdi/DeviceContext.h"
#include "platform/win/gdi/Objects.h"
#include "platform/win/text/FontEngine.h"
#include "platform/win/text/TextTypes.h"

struct TFont : TGdiObject {
    explicit TFont(const LOGFONTW& logFont) : TGdiObject(OBJ_FONT), logFont(logFont) {}
    const LOGFONTW logFont;

    // The face as resolved for the installed engine, kept until another is installed.
    std::shared_ptr<IFontFace> Face() const;
    double EscapementRadians() const noexcept;

private:
    mutable std::mutex mutex_;
    mutable std::shared_ptr<IFontFace> face_;
    mutable uint32_t generation_ = 0;
};

// A stock font by its GetStockObject index, null for other indices.
std::unique_ptr<TFont> NewStockFont(int index);
// The font selected into the DC (the system font until another is).
const TFont* FontOf(const TDc& dc);
// The interface font at a height and weight, as the system parameters describe it.
LOGFONTW InterfaceLogFont(LONG height, LONG weight);
