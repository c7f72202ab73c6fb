#pragma once
// TPicture: holds one graphic of any registered class, loads files by their
// extension through the picture-format registry and tells its owner of every
// change of the graphic or of the graphic itself.

#include <memory>

#include "platform/ui/graphics/Graphic.h"
#include "platform/ui/graphics/PictureFormats.h"

class TBitmap;
class TIcon;

class TPicture : public TPersistent {
    RTL_CLASS(TPicture, TPersistent);

public:
    TPicture();
    ~TPicture() override;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // Null when empty. Setting copies the given graphic into a new one of its class.
    TGraphic* Graphic() const noexcept { return graphic_.get(); }
    void SetGraphic(TGraphic* value);
    // The graphic as a bitmap (or icon), replacing a graphic of another class by an empty one.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* value);
    TIcon* Icon();
    void SetIcon(TIcon* value);
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    // A picture, a graphic or null (empties the picture).
    void Assign(TPersistent* source) override;

    // The class registered for the file's extension loads it; raises
    // EInvalidGraphic "Unknown picture file extension (.%s)" for an extension
    // nobody registered. The picture keeps its graphic when loading fails.
    void LoadFromFile(const String& fileName);
    // Nothing when empty.
    void SaveToFile(const String& fileName);

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    void AssignTo(TPersistent* dest) override;
    virtual void Changed();

private:
    void ForwardProgress(TGraphic& graphic);
    // Keeps Graphic, whose changes and progress reach the picture's events from now on.
    void Adopt(std::unique_ptr<TGraphic> graphic);
    template <class T>
    T* ForceType();

    std::unique_ptr<TGraphic> graphic_;
};
