#include "treeview/TreeOptions.h"

#include "treeview/BaseViewTree.h"

RTL_PUBLISHED(TCustomViewTreeOptions, c) {}
RTL_PUBLISHED(TViewTreeOptions, c) {
    using T = TViewTreeOptions;
    c.Property("AnimationOptions", &T::AnimationOptions, &T::SetAnimationOptions).Default(TVTAnimationOptions{});
    c.Property("AutoOptions", &T::AutoOptions, &T::SetAutoOptions).Default(T::kDefaultAutoOptions);
    c.Property("ExportMode", &T::ExportMode, &T::SetExportMode).Default(emAll);
    c.Property("MiscOptions", &T::MiscOptions, &T::SetMiscOptions).Default(T::kDefaultMiscOptions);
    c.Property("PaintOptions", &T::PaintOptions, &T::SetPaintOptions).Default(T::kDefaultPaintOptions);
    c.Property("SelectionOptions", &T::SelectionOptions, &T::SetSelectionOptions).Default(TVTSelectionOptions{});
}
RTL_PUBLISHED(TCustomStringTreeOptions, c) {}
RTL_PUBLISHED(TStringTreeOptions, c) {
    using T = TStringTreeOptions;
    c.Property("AnimationOptions", &T::AnimationOptions, &T::SetAnimationOptions).Default(TVTAnimationOptions{});
    c.Property("AutoOptions", &T::AutoOptions, &T::SetAutoOptions).Default(T::kDefaultAutoOptions);
    c.Property("ExportMode", &T::ExportMode, &T::SetExportMode).Default(emAll);
    c.Property("MiscOptions", &T::MiscOptions, &T::SetMiscOptions).Default(T::kDefaultMiscOptions);
    c.Property("PaintOptions", &T::PaintOptions, &T::SetPaintOptions).Default(T::kDefaultPaintOptions);
    c.Property("SelectionOptions", &T::SelectionOptions, &T::SetSelectionOptions).Default(TVTSelectionOptions{});
    c.Property("StringOptions", &T::StringOptions, &T::SetStringOptions).Default(T::kDefaultStringOptions);
}

TPersistent* TCustomViewTreeOptions::GetOwner() const { return owner_; }

bool TCustomViewTreeOptions::OwnerRunning() const { return !owner_->Loading() && owner_->HandleAllocated(); }

void TCustomViewTreeOptions::SetPaintOptions(TVTPaintOptions value) {
    if (value == paintOptions_) return;
    // The cache worker's walk follows these two.
    for (TVTPaintOption walked : {toShowHiddenNodes, toChildrenAbove}) {
        if (value.Contains(walked) != paintOptions_.Contains(walked)) owner_->InterruptCacheBuild();
    }
    const TVTPaintOptions old = paintOptions_;
    paintOptions_ = value;
    const bool hiddenSwitched = old.Contains(toShowHiddenNodes) != value.Contains(toShowHiddenNodes);
    // Whether hidden nodes show changes every count and height they take part in, window or not.
    if (hiddenSwitched) owner_->RecountHiddenNodes();
    if (!OwnerRunning()) return;
    // Themes are off on this desktop, so the theme switches only repaint.
    owner_->Invalidate();
}

void TCustomViewTreeOptions::SetAutoOptions(TVTAutoOptions value) {
    if (value == autoOptions_) return;
    const bool spanChanged = value.Contains(toAutoSpanColumns) != autoOptions_.Contains(toAutoSpanColumns);
    autoOptions_ = value;
    if (spanChanged && OwnerRunning()) owner_->Invalidate();
}

void TCustomViewTreeOptions::SetSelectionOptions(TVTSelectionOptions value) {
    if (value == selectionOptions_) return;
    const TVTSelectionOptions old = selectionOptions_;
    selectionOptions_ = value;
    if (old.Contains(toMultiSelect) != value.Contains(toMultiSelect) ||
        (value.Contains(toLevelSelectConstraint) && !old.Contains(toLevelSelectConstraint)) ||
        (value.Contains(toSiblingSelectConstraint) && !old.Contains(toSiblingSelectConstraint)))
        owner_->DeselectAll();
    // Without header columns the main column is none.
    if (!value.Contains(toExtendedFocus)) owner_->focusedColumn_ = kNoColumn;
}

void TCustomViewTreeOptions::SetMiscOptions(TVTMiscOptions value) {
    if (value == miscOptions_) return;
    const TVTMiscOptions old = miscOptions_;
    miscOptions_ = value;
    if (!OwnerRunning()) return;
    if (old.Contains(toCheckSupport) != value.Contains(toCheckSupport)) owner_->Invalidate();
    if (old.Contains(toFullRepaintOnResize) != value.Contains(toFullRepaintOnResize)) owner_->RecreateWnd();
}

void TCustomViewTreeOptions::AssignTo(TPersistent* dest) {
    auto* other = dynamic_cast<TCustomViewTreeOptions*>(dest);
    if (!other) return TPersistent::AssignTo(dest);
    other->SetPaintOptions(paintOptions_);
    other->SetAnimationOptions(animationOptions_);
    other->SetAutoOptions(autoOptions_);
    other->SetSelectionOptions(selectionOptions_);
    other->SetMiscOptions(miscOptions_);
}

void TCustomStringTreeOptions::SetStringOptions(TVTStringOptions value) {
    if (value == stringOptions_) return;
    const bool staticChanged = value.Contains(toShowStaticText) != stringOptions_.Contains(toShowStaticText);
    stringOptions_ = value;
    if (staticChanged && OwnerRunning()) Owner()->Invalidate();
}

void TCustomStringTreeOptions::AssignTo(TPersistent* dest) {
    if (auto* other = dynamic_cast<TCustomStringTreeOptions*>(dest)) other->SetStringOptions(stringOptions_);
    TCustomViewTreeOptions::AssignTo(dest);
}

namespace {
// Adds the option named "to..." to whichever group has it.
template <class E>
bool AddToGroup(TSet<E>& group, const String& name) {
    const int64_t value = GetEnumValue(TypeInfo<E>(), name);
    if (value < 0) return false;
    group.Include(E(value));
    return true;
}
} // namespace

void ApplyLegacyOptions(TCustomViewTreeOptions& options, const std::vector<String>& identifiers) {
    TVTAnimationOptions animation;
    TVTAutoOptions autoOptions;
    TVTMiscOptions misc;
    TVTPaintOptions paint;
    TVTSelectionOptions selection;
    for (const String& identifier : identifiers) {
        if (GetEnumValue(TypeInfo<TOldVTOption>(), identifier) < 0) continue;
        const String name = String(u"to") + identifier.substr(2);
        AddToGroup(animation, name) || AddToGroup(autoOptions, name) || AddToGroup(misc, name) ||
            AddToGroup(paint, name) || AddToGroup(selection, name);
    }
    options.SetAnimationOptions(animation);
    options.SetAutoOptions(autoOptions);
    options.SetMiscOptions(misc);
    options.SetPaintOptions(paint);
    options.SetSelectionOptions(selection);
}
