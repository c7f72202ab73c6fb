#pragma once
// The small property objects a tree owns: its scroll-bar options, its
// fifteen colours and the list of clipboard formats it offers.

#include "platform/rtl/Persistent.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/TypeInfo.h"
#include "platform/ui/Colors.h"
#include "platform/ui/stdctrls/Edits.h"

class TBaseViewTree;

enum class TScrollBarStyle { sbmRegular, sbmFlat, sbm3D };
using enum TScrollBarStyle;
RTL_ENUM(TScrollBarStyle, sbmRegular, sbmFlat, sbm3D);

class TScrollBarOptions : public TPersistent {
    RTL_CLASS(TScrollBarOptions, TPersistent);

public:
    explicit TScrollBarOptions(TBaseViewTree* owner) : owner_(owner) {}
    void Assign(TPersistent* source) override;
    TPersistent* GetOwner() const override;

    bool AlwaysVisible() const noexcept { return alwaysVisible_; }
    void SetAlwaysVisible(bool value);
    int HorizontalIncrement() const noexcept { return horizontalIncrement_; }
    void SetHorizontalIncrement(int value) { horizontalIncrement_ = value; }
    int VerticalIncrement() const noexcept { return verticalIncrement_; }
    void SetVerticalIncrement(int value) { verticalIncrement_ = value; }
    TScrollStyle ScrollBars() const noexcept { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    TScrollBarStyle ScrollBarStyle() const noexcept { return scrollBarStyle_; }
    // Only regular bars exist; any other style asserts and the old one stays.
    void SetScrollBarStyle(TScrollBarStyle value);

private:
    void RecreateOwnerWindow();

    TBaseViewTree* owner_;
    bool alwaysVisible_ = false;
    int horizontalIncrement_ = 20;
    int verticalIncrement_ = 20;
    TScrollStyle scrollBars_ = TScrollStyle::ssBoth;
    TScrollBarStyle scrollBarStyle_ = sbmRegular;
};

class TVTColors : public TPersistent {
    RTL_CLASS(TVTColors, TPersistent);

public:
    enum TIndex {
        DisabledColor, DropMarkColor, DropTargetColor, FocusedSelectionColor, GridLineColor, TreeLineColor,
        UnfocusedSelectionColor, BorderColor, HotColor, FocusedSelectionBorderColor, UnfocusedSelectionBorderColor,
        DropTargetBorderColor, SelectionRectangleBlendColor, SelectionRectangleBorderColor, HeaderHotColor,
        Count
    };

    explicit TVTColors(TBaseViewTree* owner);
    void Assign(TPersistent* source) override;
    TPersistent* GetOwner() const override;

    TColor Color(int index) const { return colors_[index]; }
    void SetColor(int index, TColor value);

private:
    TBaseViewTree* owner_;
    TColor colors_[Count];
};

// The descriptions of the clipboard formats a tree offers: sorted, without
// duplicates, and holding only formats registered for the owner's class.
class TClipboardFormats : public TStringList {
    RTL_CLASS(TClipboardFormats, TStringList);

public:
    explicit TClipboardFormats(TBaseViewTree* owner);
    TBaseViewTree* Owner() const noexcept { return owner_; }
    // −1 and no change when the format is not registered for the owner's class.
    int AddObject(const String& s, TObject* object) override;
    void InsertObject(int index, const String& s, TObject* object) override;

private:
    bool RegisteredForOwner(const String& description) const;
    TBaseViewTree* owner_;
};
