#pragma once
// TPageControl, TTabSheet: a tab control showing one sheet at a time, sized
// to its display area. The page control keeps its sheets (the window's tabs
// are rebuilt from them), so re-creating the window keeps pages and the
// active one. A sheet whose TabVisible is off has no tab but can still be
// the active page.

#include <functional>
#include <vector>

#include "platform/ui/Events.h"
#include "platform/ui/WinControl.h"

class TCustomImageList;
class TPageControl;

class TTabSheet : public TWinControl {
    RTL_CLASS(TTabSheet, TWinControl);
    UI_MESSAGES(TTabSheet, TWinControl);

public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;

    TPageControl* PageControl() const noexcept { return pageControl_; }
    void SetPageControl(TPageControl* value);
    // The sheet's place among the page control's sheets.
    int PageIndex() const;
    void SetPageIndex(int value);
    // The place of its tab among the tabs shown, -1 without a tab.
    int TabIndex() const;
    bool TabVisible() const noexcept { return tabVisible_; }
    void SetTabVisible(bool value);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int value);

private:
    friend class TPageControl;
    void CMTextChanged(TMessage& m);

    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
    int imageIndex_ = -1;
};

using TTabChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;

class TPageControl : public TWinControl {
    RTL_CLASS(TPageControl, TWinControl);
    UI_MESSAGES(TPageControl, TWinControl);

public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;

    TTabSheet* ActivePage() const noexcept { return activePage_; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }
    void SetActivePageIndex(int index);
    int PageCount() const noexcept { return int(pages_.size()); }
    TTabSheet* Pages(int index) const { return pages_.at(size_t(index)); }
    TCustomImageList* Images() const noexcept { return images_; }
    void SetImages(TCustomImageList* value);

    // The sheet after (or before) Current with a tab, wrapping round; null when none.
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    // Moves to the next sheet with a tab as the user does: OnChanging may refuse.
    void SelectNextPage(bool goForward, bool checkTabVisible = true);

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void AdjustClientRect(TRect& rect) override;
    void Notification(TComponent* component, TOperation operation) override;
    virtual bool CanChange();
    virtual void Change();

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void MovePage(TTabSheet* page, int index);
    // Rebuilds the window's tabs from the sheets and selects the active page's.
    void UpdateTabs();
    TTabSheet* PageForTab(int tabIndex) const;
    void CNNotify(TMessage& m);
    void CMDialogKey(TMessage& m);

    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
    TCustomImageList* images_ = nullptr;
};
