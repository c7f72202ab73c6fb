#pragma once
// TGraphic: the base of pictures the framework draws, loads and saves
// (bitmaps, icons, and the decoders other units register). A graphic tells
// its owner of every change through OnChange and of long loads through
// OnProgress.

#include <cstdint>
#include <functional>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Geometry.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/Stream.h"
#include "platform/ui/Events.h"
#include "platform/win/gdi/GdiTypes.h"

class TCanvas;

// Malformed picture data and unknown picture file extensions.
RTL_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
// An operation the graphic cannot carry out in its state.
RTL_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);

enum class TProgressStage { psStarting, psRunning, psEnding };
using enum TProgressStage;
RTL_ENUM(TProgressStage, psStarting, psRunning, psEnding);

// Stage, percent done, whether the part in Rect can be drawn now, and a text for the user.
using TProgressEvent = std::function<void(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                                          const TRect& rect, const String& message)>;

class TGraphic : public TPersistent {
    RTL_CLASS(TGraphic, TPersistent);

public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual int Height() const = 0;
    virtual void SetHeight(int value) = 0;
    virtual void SetSize(int width, int height);
    // Whether parts of the picture let what lies beneath show.
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value);
    // Set by every change; the owner clears it after saving.
    bool Modified() const noexcept { return modified_; }
    void SetModified(bool value);
    virtual HPALETTE Palette() const { return nullptr; }
    virtual void SetPalette(HPALETTE) {}

    // Draws the whole picture into Rect of Canvas, stretched when the sizes differ.
    virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;

    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    void LoadFromFile(const String& fileName);
    void SaveToFile(const String& fileName);

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    TGraphic() = default;
    // Sets Modified and calls OnChange.
    virtual void Changed();
    void Progress(TProgressStage stage, uint8_t percentDone, bool redrawNow, const TRect& rect,
                  const String& message);

private:
    bool transparent_ = false;
    bool modified_ = false;
};
