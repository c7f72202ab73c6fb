#pragma once
// The font object behind an HFONT. Internal.

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/win/gdi/DeviceContext.h"
#include "platform/win/gdi/Objects.h"
#include "platform/win/text/FontEngine.h"
#include "platform/win/text/TextTypes.h"

struct TFontObject : TGdiObject {
    explicit TFontObject(const LOGFONTW& logFont) : TGdiObject(OBJ_FONT), logFont(logFont) {}
    const LOGFONTW logFont;

    // The face as resolved for the installed engine; it lives as long as the
    // font (a face resolved for an earlier engine too). Without locking once
    // resolved: the tree measures every visible cell per paint.
    IFontFace& Face() const;
    double EscapementRadians() const noexcept;

private:
    mutable std::mutex mutex_;
    mutable std::vector<std::shared_ptr<IFontFace>> faces_; // the current one last
    mutable std::atomic<IFontFace*> face_{nullptr};
    mutable std::atomic<uint32_t> generation_{0};
};

// A stock font by its GetStockObject index, null for other indices.
std::unique_ptr<TFontObject> NewStockFont(int index);
// The font selected into the DC (the system font until another is).
const TFontObject* FontOf(const TDc& dc);
// The interface font at a height and weight, as the system parameters describe it.
LOGFONTW InterfaceLogFont(LONG height, LONG weight);
