#include "treeview/TreeProperties.h"

#include "platform/win/User.h"
#include "treeview/BaseViewTree.h"
#include "treeview/TreeClipboardFormats.h"

RTL_PUBLISHED(TScrollBarOptions, c) {
    using T = TScrollBarOptions;
    c.Property("AlwaysVisible", &T::AlwaysVisible, &T::SetAlwaysVisible).Default(false);
    c.Property("HorizontalIncrement", &T::HorizontalIncrement, &T::SetHorizontalIncrement).Default(20);
    c.Property("ScrollBars", &T::ScrollBars, &T::SetScrollBars).Default(TScrollStyle::ssBoth);
    c.Property("ScrollBarStyle", &T::ScrollBarStyle, &T::SetScrollBarStyle).Default(sbmRegular);
    c.Property("VerticalIncrement", &T::VerticalIncrement, &T::SetVerticalIncrement).Default(20);
}

TPersistent* TScrollBarOptions::GetOwner() const { return owner_; }

void TScrollBarOptions::RecreateOwnerWindow() {
    if (owner_->HandleAllocated() && !owner_->ComponentState().Contains(csLoading)) owner_->RecreateWnd();
}

void TScrollBarOptions::SetAlwaysVisible(bool value) {
    if (value == alwaysVisible_) return;
    alwaysVisible_ = value;
    RecreateOwnerWindow();
}

void TScrollBarOptions::SetScrollBars(TScrollStyle value) {
    if (value == scrollBars_) return;
    scrollBars_ = value;
    RecreateOwnerWindow();
}

void TScrollBarOptions::SetScrollBarStyle(TScrollBarStyle value) {
    RTL_ASSERT(value == sbmRegular,
               "Flat scrollbars styles are disabled. Enable UseFlatScrollbars in VTConfig forflat scrollbar support.");
    scrollBarStyle_ = value;
}

void TScrollBarOptions::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TScrollBarOptions*>(source);
    if (!other) return TPersistent::Assign(source);
    SetAlwaysVisible(other->AlwaysVisible());
    SetHorizontalIncrement(other->HorizontalIncrement());
    SetScrollBars(other->ScrollBars());
    SetScrollBarStyle(other->ScrollBarStyle());
    SetVerticalIncrement(other->VerticalIncrement());
}

namespace {
constexpr TColor kTreeColorDefaults[TVTColors::Count] = {
    clBtnShadow, clHighlight, clHighlight, clHighlight, clBtnFace,  clBtnShadow, clBtnFace, clBtnFace,
    clWindowText, clHighlight, clBtnFace, clHighlight, clHighlight, clHighlight, clBtnShadow,
};
constexpr const char* kTreeColorNames[TVTColors::Count] = {
    "DisabledColor", "DropMarkColor", "DropTargetColor", "FocusedSelectionColor", "GridLineColor",
    "TreeLineColor", "UnfocusedSelectionColor", "BorderColor", "HotColor", "FocusedSelectionBorderColor",
    "UnfocusedSelectionBorderColor", "DropTargetBorderColor", "SelectionRectangleBlendColor",
    "SelectionRectangleBorderColor", "HeaderHotColor",
};
} // namespace

RTL_PUBLISHED(TVTColors, c) {
    for (int i = 0; i < TVTColors::Count; ++i) {
        c.Property(kTreeColorNames[i], &TVTColors::Color, &TVTColors::SetColor)
            .Index(i)
            .Default(kTreeColorDefaults[i])
            .OfType(TColorTypeInfo());
    }
}

TVTColors::TVTColors(TBaseViewTree* owner) : owner_(owner) {
    std::copy(std::begin(kTreeColorDefaults), std::end(kTreeColorDefaults), colors_);
}

TPersistent* TVTColors::GetOwner() const { return owner_; }

void TVTColors::SetColor(int index, TColor value) {
    if (colors_[index] == value) return;
    colors_[index] = value;
    if (owner_->ComponentState().Contains(csLoading) || !owner_->HandleAllocated()) return;
    if (index == BorderColor) {
        RedrawWindow(owner_->Handle(), nullptr, nullptr, RDW_FRAME | RDW_NOCHILDREN | RDW_NOERASE | RDW_INVALIDATE);
    } else {
        owner_->Invalidate();
    }
}

void TVTColors::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TVTColors*>(source);
    if (!other) return TPersistent::Assign(source);
    std::copy(std::begin(other->colors_), std::end(other->colors_), colors_);
    if (owner_->UpdateCount() == 0 && owner_->HandleAllocated()) owner_->Invalidate();
}

RTL_PUBLISHED_NONE(TClipboardFormats);

TClipboardFormats::TClipboardFormats(TBaseViewTree* owner) : owner_(owner) {
    SetSorted(true);
    SetDuplicates(dupIgnore);
}

bool TClipboardFormats::RegisteredForOwner(const String& description) const {
    const TClipboardFormatList* registry = ClipboardFormatRegistry();
    if (!registry) return false;
    CLIPFORMAT format = 0;
    const TClass treeClass = registry->FindByDescription(description, format);
    return treeClass && owner_->InheritsFrom(treeClass);
}

int TClipboardFormats::AddObject(const String& s, TObject* object) {
    if (!RegisteredForOwner(s)) return -1;
    return TStringList::AddObject(s, object);
}

void TClipboardFormats::InsertObject(int index, const String& s, TObject* object) {
    if (RegisteredForOwner(s)) TStringList::InsertObject(index, s, object);
}
