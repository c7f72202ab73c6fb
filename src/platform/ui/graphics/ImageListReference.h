#pragma once
// A reference from a component to an image list it does not own (a
// control's, a menu's or an action list's Images): cleared when the list is
// freed, so a freed list is never drawn, and telling the holder of every
// change of the list and of the reference. The holder keeps one as a member:
//
//   class TPictureBox : public TGraphicControl {
//   public:
//       TCustomImageList* Images() const { return images_.Get(); }
//       void SetImages(TCustomImageList* value) { images_.Set(value); }
//   private:
//       TImageListReference images_{[this] { Invalidate(); }};
//   };

#include <functional>
#include <memory>

#include "platform/ui/graphics/ImageList.h"

class TImageListReference {
public:
    explicit TImageListReference(std::function<void()> changed = {});
    ~TImageListReference();
    TImageListReference(const TImageListReference&) = delete;
    TImageListReference& operator=(const TImageListReference&) = delete;

    TCustomImageList* Get() const noexcept { return list_; }
    // Calls Changed when the list is another one.
    void Set(TCustomImageList* value);

private:
    class TWatcher;
    void Changed() const;

    TCustomImageList* list_ = nullptr;
    std::function<void()> changed_;
    TChangeLink link_;
    // An ownerless component asking the list for free notification.
    std::unique_ptr<TWatcher> watcher_;
};
