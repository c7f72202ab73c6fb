#include "treeview/BaseViewTree.h"

#include "platform/ui/graphics/ImageList.h"
#include "platform/ui/graphics/Picture.h"
#include "platform/win/User.h"
#include "treeview/TreeGlobals.h"
#include "treeview/TreePaintState.h"
#include "treeview/ViewTreeCacheWorker.h"
#include "treeview/ViewStringTree.h"

RTL_PUBLISHED(TBaseViewTree, c) {
    using T = TBaseViewTree;
    c.Property("AccessibleName", &T::AccessibleName, &T::SetAccessibleName);
    c.Property("Alignment", &T::Alignment, &T::SetAlignment).Default(TAlignment::taLeftJustify);
    c.Property("AnimationDuration", &T::AnimationDuration, &T::SetAnimationDuration).Default(200);
    c.Property("AutoExpandDelay", &T::AutoExpandDelay, &T::SetAutoExpandDelay).Default(1000);
    c.Property("AutoScrollDelay", &T::AutoScrollDelay, &T::SetAutoScrollDelay).Default(1000);
    c.Property("AutoScrollInterval", &T::AutoScrollInterval, &T::SetAutoScrollInterval).Default(1);
    c.Property("Background", &T::Background, &T::SetBackground);
    c.Property("BackgroundOffsetX", &T::BackgroundOffset, &T::SetBackgroundOffset).Index(0).Default(0);
    c.Property("BackgroundOffsetY", &T::BackgroundOffset, &T::SetBackgroundOffset).Index(1).Default(0);
    c.Property("BottomSpace", &T::BottomSpace, &T::SetBottomSpace).Default(0);
    c.Property("BorderStyle", &T::BorderStyle, &T::SetBorderStyle).Default(kSingleBorder);
    c.Property("ButtonFillMode", &T::ButtonFillMode, &T::SetButtonFillMode).Default(fmTreeColor);
    c.Property("ButtonStyle", &T::ButtonStyle, &T::SetButtonStyle).Default(bsRectangle);
    c.Property("ChangeDelay", &T::ChangeDelay, &T::SetChangeDelay).Default(0);
    c.Property("CheckImageKind", &T::CheckImageKind, &T::SetCheckImageKind).Default(ckSystemDefault);
    c.Property("ClipboardFormats", &T::ClipboardFormats, &T::SetClipboardFormats);
    c.Property("Colors", &T::Colors, &T::SetColors);
    c.Property("DefaultNodeHeight", &T::DefaultNodeHeight, &T::SetDefaultNodeHeight).Default(18);
    c.Property("DefaultPasteMode", &T::DefaultPasteMode, &T::SetDefaultPasteMode).Default(amAddChildLast);
    c.Property("DragHeight", &T::DragHeight, &T::SetDragHeight).Default(350);
    c.Property("DragImageKind", &T::DragImageKind, &T::SetDragImageKind).Default(diComplete);
    c.Property("DragOperations", &T::DragOperations, &T::SetDragOperations).Default(TDragOperations{doCopy, doMove});
    c.Property("DragType", &T::DragType, &T::SetDragType).Default(dtOLE);
    c.Property("DragWidth", &T::DragWidth, &T::SetDragWidth).Default(200);
    c.Property("DrawSelectionMode", &T::DrawSelectionMode, &T::SetDrawSelectionMode).Default(smDottedRectangle);
    c.Property("EditDelay", &T::EditDelay, &T::SetEditDelay).Default(1000);
    c.Property("HintAnimation", &T::HintAnimation, &T::SetHintAnimation).Default(hatSystemDefault);
    c.Property("HintMode", &T::HintMode, &T::SetHintMode).Default(hmDefault);
    c.Property("IncrementalSearch", &T::IncrementalSearch, &T::SetIncrementalSearch).Default(isNone);
    c.Property("IncrementalSearchDirection", &T::IncrementalSearchDirection, &T::SetIncrementalSearchDirection)
        .Default(sdForward);
    c.Property("IncrementalSearchStart", &T::IncrementalSearchStart, &T::SetIncrementalSearchStart)
        .Default(ssFocusedNode);
    c.Property("IncrementalSearchTimeout", &T::IncrementalSearchTimeout, &T::SetIncrementalSearchTimeout)
        .Default(1000);
    c.Property("Images", &T::Images, &T::SetImages);
    c.Property("Indent", &T::Indent, &T::SetIndent).Default(18);
    c.Property("LineMode", &T::LineMode, &T::SetLineMode).Default(lmNormal);
    c.Property("LineStyle", &T::LineStyle, &T::SetLineStyle).Default(lsDotted);
    c.Property("Margin", &T::Margin, &T::SetMargin).Default(4);
    c.Property("NodeAlignment", &T::NodeAlignment, &T::SetNodeAlignment).Default(naProportional);
    c.Property("NodeDataSize", &T::NodeDataSize, &T::SetNodeDataSize).Default(-1);
    c.Property("RootNodeCount", &T::RootNodeCount, &T::SetRootNodeCount).Default(0);
    c.Property("ScrollBarOptions", &T::ScrollBarOptions, &T::SetScrollBarOptions);
    c.Property("StateImages", &T::StateImages, &T::SetStateImages);
    c.Property("SelectionBlendFactor", &T::SelectionBlendFactor, &T::SetSelectionBlendFactor).Default(128);
    c.Property("SelectionCurveRadius", &T::SelectionCurveRadius, &T::SetSelectionCurveRadius).Default(0);
    c.Property("TextMargin", &T::TextMargin, &T::SetTextMargin).Default(4);
    c.Property("TreeOptions", &T::TreeOptions, &T::SetTreeOptions);
    c.Property("WantTabs", &T::WantTabs, &T::SetWantTabs).Default(false);
}

namespace {

// The shared state every tree needs, set up by the first tree before anything
// of it is built; answers Owner for the framework's construction.
TComponent* WithTreeGlobals(TComponent* owner) {
    if (!TreeGlobals().Initialized)
        SetUpTreeGlobals(TBaseViewTree::StaticClass(), TCustomViewStringTree::StaticClass());
    return owner;
}

// The shared image set serving a check kind; ckCustom is served by the tree's own list.
TCustomImageList* SharedCheckImages(TCheckImageKind kind) {
    switch (kind) {
    case ckLightCheck: return TreeImageSet(TTreeImageSet::LightCheck);
    case ckDarkCheck: return TreeImageSet(TTreeImageSet::DarkCheck);
    case ckLightTick: return TreeImageSet(TTreeImageSet::LightTick);
    case ckDarkTick: return TreeImageSet(TTreeImageSet::DarkTick);
    case ckFlat: return TreeImageSet(TTreeImageSet::Flat);
    case ckXP: return TreeImageSet(TTreeImageSet::XP);
    case ckSystemFlat: return TreeImageSet(TTreeImageSet::SystemFlatCheck);
    case ckSystemDefault: return TreeImageSet(TTreeImageSet::SystemCheck);
    case ckCustom: break;
    }
    return nullptr;
}

} // namespace

TBaseViewTree::TBaseViewTree(TComponent* owner) : TCustomControl(WithTreeGlobals(owner)) {
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csReplicatable, csDisplayDragImage, csReflector} +
                    (ControlStyle() - TControlStyle{csSetCaption}));
    SetBounds(Left(), Top(), 200, 100);
    SetTabStop(true);
    SetParentColor(false);
    scrollBarOptions_ = std::make_unique<TScrollBarOptions>(this);
    colors_ = std::make_unique<TVTColors>(this);
    background_ = std::make_unique<TPicture>();
    // The kind stays ckSystemDefault while the light checks are in use, until the kind is set.
    checkImages_ = TreeImageSet(TTreeImageSet::LightCheck);
    for (auto* link : {&imagesLink_, &stateImagesLink_, &customCheckImagesLink_}) {
        *link = std::make_unique<TChangeLink>();
        (*link)->OnChange = [this](TObject* sender) { ImageListChanged(sender); };
    }
    clipboardFormats_ = std::make_unique<TClipboardFormats>(this);
    options_ = CreateOptions();
    MakeRootNode();
    TCacheWorker::Acquire();
}

TBaseViewTree::~TBaseViewTree() {
    InterruptCacheBuild(); // the worker reads the options too
    options_->SetMiscOptions(options_->MiscOptions() - TVTMiscOptions{toReadOnly});
    ClearTree();
    for (TCustomImageList** list : {&images_, &stateImages_, &customCheckImages_}) {
        if (*list) (*list)->RemoveFreeNotification(this);
    }
    TCacheWorker::Release(this);
}

std::unique_ptr<TCustomViewTreeOptions> TBaseViewTree::CreateOptions() {
    return std::make_unique<TViewTreeOptions>(this);
}

void TBaseViewTree::Loaded() {
    TCustomControl::Loaded();
    if (states_.Contains(tsNeedRootCountUpdate)) {
        const uint32_t count = root_->childCount;
        root_->childCount = 0;
        ChangeTreeState({}, {tsNeedRootCountUpdate});
        SetRootNodeCount(count);
    }
}

void TBaseViewTree::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation != opRemove) return;
    bool lost = false;
    for (TCustomImageList** list : {&images_, &stateImages_, &customCheckImages_}) {
        if (*list == component) {
            *list = nullptr;
            lost = true;
        }
    }
    if (!lost) return;
    if (checkImages_ == component) checkImages_ = nullptr;
    if (!customCheckImages_ && checkImageKind_ == ckCustom) SetCheckImageKind(ckSystemDefault);
    if (!Destroying()) RepaintIfRunning();
}

void TBaseViewTree::ExchangeImageList(TCustomImageList*& slot, TChangeLink& link, TCustomImageList* value) {
    if (slot) {
        slot->UnRegisterChanges(&link);
        slot->RemoveFreeNotification(this);
    }
    slot = value;
    if (slot) {
        slot->RegisterChanges(&link);
        slot->FreeNotification(this);
    }
}

void TBaseViewTree::ImageListChanged(TObject*) {
    if (!Destroying() && HandleAllocated()) Invalidate();
}

void TBaseViewTree::SetImages(TCustomImageList* value) {
    if (value == images_) return;
    ExchangeImageList(images_, *imagesLink_, value);
    if (!Loading()) RepaintIfRunning();
}

void TBaseViewTree::SetStateImages(TCustomImageList* value) {
    if (value == stateImages_) return;
    ExchangeImageList(stateImages_, *stateImagesLink_, value);
    if (!Loading()) RepaintIfRunning();
}

void TBaseViewTree::SetBackground(TPicture* value) {
    background_->Assign(value);
    RepaintIfRunning();
}

void TBaseViewTree::SetBorderStyle(TBorderStyle value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    RecreateWnd();
}

void TBaseViewTree::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    const TScrollStyle bars = scrollBarOptions_->ScrollBars();
    if (bars == TScrollStyle::ssHorizontal || bars == TScrollStyle::ssBoth) params.Style |= WS_HSCROLL;
    if (bars == TScrollStyle::ssVertical || bars == TScrollStyle::ssBoth) params.Style |= WS_VSCROLL;
    if (HasOption(toFullRepaintOnResize)) params.WindowClass.style |= CS_HREDRAW | CS_VREDRAW;
    else params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
    AddBorderStyle(params, borderStyle_, Ctl3D());
}

void TBaseViewTree::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TBaseViewTree*>(source);
    if (!other || ReadOnly()) {
        TCustomControl::Assign(source);
        return;
    }
    SetAlign(other->Align());
    SetAnchors(other->Anchors());
    SetAutoScrollDelay(other->AutoScrollDelay());
    SetAutoScrollInterval(other->AutoScrollInterval());
    SetAutoSize(other->AutoSize());
    SetBackground(other->Background());
    SetBevelEdges(other->BevelEdges());
    SetBevelInner(other->BevelInner());
    SetBevelKind(other->BevelKind());
    SetBevelOuter(other->BevelOuter());
    SetBevelWidth(other->BevelWidth());
    SetBiDiMode(other->BiDiMode());
    SetBorderStyle(other->BorderStyle());
    SetBorderWidth(other->BorderWidth());
    SetChangeDelay(other->ChangeDelay());
    SetCheckImageKind(other->CheckImageKind());
    SetColor(other->Color());
    SetColors(other->Colors());
    SetConstraints(other->Constraints());
    SetCtl3D(other->Ctl3D());
    SetDefaultNodeHeight(other->DefaultNodeHeight());
    SetDefaultPasteMode(other->DefaultPasteMode());
    SetDragCursor(other->DragCursor());
    SetDragImageKind(other->DragImageKind());
    SetDragKind(other->DragKind());
    SetDragMode(other->DragMode());
    SetEnabled(other->Enabled());
    SetFont(other->Font());
    SetHintAnimation(other->HintAnimation());
    SetHintMode(other->HintMode());
    SetHotCursor(other->HotCursor());
    SetImages(other->Images());
    SetImeMode(other->ImeMode());
    SetImeName(other->ImeName());
    SetIndent(other->Indent());
    SetMargin(other->Margin());
    SetNodeAlignment(other->NodeAlignment());
    SetNodeDataSize(other->NodeDataSize());
    SetTreeOptions(other->TreeOptions());
    SetParentBiDiMode(other->ParentBiDiMode());
    SetParentColor(other->ParentColor());
    SetParentCtl3D(other->ParentCtl3D());
    SetParentFont(other->ParentFont());
    SetParentShowHint(other->ParentShowHint());
    SetPopupMenu(other->PopupMenu());
    SetRootNodeCount(other->RootNodeCount());
    SetScrollBarOptions(other->ScrollBarOptions());
    SetShowHint(other->ShowHint());
    SetStateImages(other->StateImages());
    SetTabOrder(other->TabOrder());
    SetTabStop(other->TabStop());
    SetVisible(other->Visible());
    SetSelectionCurveRadius(other->SelectionCurveRadius());
    SetSelectionBlendFactor(other->SelectionBlendFactor());
}

void TBaseViewTree::RepaintIfRunning() {
    if (!Loading() && HandleAllocated()) Invalidate();
}

void TBaseViewTree::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    RepaintIfRunning();
}

void TBaseViewTree::SetAnimationDuration(uint32_t value) {
    animationDuration_ = value;
    TVTAnimationOptions animation = options_->AnimationOptions();
    if (value) animation.Include(toAnimatedToggle);
    else animation.Exclude(toAnimatedToggle);
    options_->SetAnimationOptions(animation);
}

void TBaseViewTree::SetBackgroundOffset(int index, int value) {
    if (backgroundOffset_[index] == value) return;
    backgroundOffset_[index] = value;
    RepaintIfRunning();
}

void TBaseViewTree::SetBottomSpace(uint32_t value) {
    if (value == bottomSpace_) return;
    bottomSpace_ = value;
    UpdateRanges();
    SyncVerticalScrollBar(true);
}

void TBaseViewTree::SetButtonFillMode(TVTButtonFillMode value) {
    if (value == buttonFillMode_) return;
    buttonFillMode_ = value;
    RepaintIfRunning();
}

void TBaseViewTree::SetButtonStyle(TVTButtonStyle value) {
    if (value == buttonStyle_) return;
    buttonStyle_ = value;
    RepaintIfRunning();
}

void TBaseViewTree::SetCheckImageKind(TCheckImageKind value) {
    if (value == checkImageKind_) return;
    checkImageKind_ = value;
    checkImages_ = SharedCheckImages(value);
    if (!checkImages_) checkImages_ = customCheckImages_;
    if (HandleAllocated() && updateCount_ == 0 && !Loading()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TBaseViewTree::SetClipboardFormats(TClipboardFormats* value) {
    clipboardFormats_->Clear();
    if (!value) return;
    for (int i = 0; i < value->Count(); ++i) clipboardFormats_->Add(value->Strings(i));
}

void TBaseViewTree::SetCustomCheckImages(TCustomImageList* value) {
    if (value == customCheckImages_) return;
    if (customCheckImages_ && checkImages_ == customCheckImages_) checkImages_ = nullptr;
    ExchangeImageList(customCheckImages_, *customCheckImagesLink_, value);
    if (checkImageKind_ == ckCustom) checkImages_ = value;
    if (!Loading()) RepaintIfRunning();
}

void TBaseViewTree::SetDefaultNodeHeight(uint32_t value) {
    if (value == 0) value = 18;
    value = std::min(value, kMaxNodeHeight);
    if (value == defaultNodeHeight_) return;
    ChangeTreeState({tsNeedScale}, {});
    const int64_t delta = int64_t(value) - int64_t(defaultNodeHeight_);
    root_->totalHeight = uint32_t(int64_t(root_->totalHeight) + delta);
    root_->nodeHeight = uint16_t(value);
    defaultNodeHeight_ = value;
    InvalidatePositionCache();
    if (updateCount_ == 0 && HandleAllocated() && !Loading()) {
        ValidatePositionCache();
        UpdateRanges();
        SyncScrollBars(true);
        if (focusedNode_) BringIntoView(focusedNode_, HasOption(toCenterScrollIntoView), true);
        Invalidate();
    }
}

void TBaseViewTree::SetIncrementalSearch(TVTIncrementalSearch value) {
    if (value == incrementalSearch_) return;
    incrementalSearch_ = value;
    if (value == isNone) {
        KillTreeTimer(kSearchTimer);
        lastSearchNode_ = nullptr;
    }
}

void TBaseViewTree::SetIndent(uint32_t value) {
    if (value == indent_) return;
    indent_ = value;
    if (!Loading() && updateCount_ == 0 && HandleAllocated()) {
        UpdateRanges();
        SyncScrollBars(true);
        Invalidate();
    }
}

void TBaseViewTree::SetLineMode(TVTLineMode value) {
    if (value == lineMode_) return;
    lineMode_ = value;
    RepaintIfRunning();
}

void TBaseViewTree::SetLineStyle(TVTLineStyle value) {
    if (value == lineStyle_) return;
    lineStyle_ = value;
    RepaintIfRunning();
}

void TBaseViewTree::SetMargin(int value) {
    if (value == margin_) return;
    margin_ = value;
    RepaintIfRunning();
}

void TBaseViewTree::SetNodeAlignment(TVTNodeAlignment value) {
    if (value == nodeAlignment_) return;
    nodeAlignment_ = value;
    RepaintIfRunning();
}

void TBaseViewTree::SetNodeDataSize(int value) {
    if (value < -1) value = -1;
    if (value == nodeDataSize_) return;
    nodeDataSize_ = value;
    if (Loading() || ComponentState().Contains(csDesigning)) return;
    const uint32_t count = root_->childCount;
    ClearTree();
    SetUpNodePool();
    SetRootNodeCount(count);
}

void TBaseViewTree::SetRootNodeCount(uint32_t value) {
    if (Loading()) {
        root_->childCount = value;
        ChangeTreeState({tsNeedRootCountUpdate}, {});
        return;
    }
    if (value == root_->childCount) return;
    BeginTreeUpdate();
    InterruptCacheBuild();
    ChangeChildCount(root_, value);
    EndTreeUpdate();
}

void TBaseViewTree::SetSelectionCurveRadius(uint32_t value) {
    if (value == selectionCurveRadius_) return;
    selectionCurveRadius_ = value;
    RepaintIfRunning();
}

void TBaseViewTree::SetTextMargin(int value) {
    if (value == textMargin_) return;
    textMargin_ = value;
    if (!Loading()) RepaintIfRunning();
}

void TBaseViewTree::StartTreeTimer(UINT_PTR id, UINT milliseconds) {
    if (!HandleAllocated()) return;
    SetTimer(Handle(), id, milliseconds, nullptr);
    runningTimers_ |= 1u << id;
}

void TBaseViewTree::KillTreeTimer(UINT_PTR id) {
    // Stopping a timer that does not run costs a call into the window system per node of a batch.
    if (!(runningTimers_ & (1u << id))) return;
    runningTimers_ &= ~(1u << id);
    if (HandleAllocated()) KillTimer(Handle(), id);
}

void TBaseViewTree::SetRedraw(bool updating) {
    if (Visible() && HandleAllocated() && updateCount_ == 0) SendMessageW(Handle(), WM_SETREDRAW, !updating, 0);
}

std::vector<std::pair<const char*, PViewNode>> TBaseViewTree::NodeReferences() const {
    std::vector<std::pair<const char*, PViewNode>> refs = {
        {"last changed", lastChangedNode_},
        {"last structure change", lastStructureChangeNode_},
        {"focused", focusedNode_},
        {"range anchor", rangeAnchor_},
        {"hot", hotNode_},
        {"drop target", dropTargetNode_},
        {"last selected", lastSelectedNode_},
        {"check", checkNode_},
        {"last search hit", lastSearchNode_},
        {"height tracking", heightTrackNode_},
        {"last drag target", lastDragTarget_},
    };
    // Entries marked for deletion are dead addresses, dropped at the next pack and never followed.
    for (uintptr_t entry : selection_) {
        if (!(entry & 1)) refs.emplace_back("selection", reinterpret_cast<PViewNode>(entry));
    }
    // The cache belongs to the worker until its end report entered tsUseCache.
    if (states_.Contains(tsUseCache)) {
        for (const TCacheEntry& entry : positionCache_) refs.emplace_back("position cache", entry.node);
    }
    return refs;
}

void TBaseViewTree::ForgetNodeReferences(PViewNode node) noexcept {
    for (PViewNode* ref : {&lastChangedNode_, &lastStructureChangeNode_, &focusedNode_, &rangeAnchor_, &hotNode_,
                           &dropTargetNode_, &lastSelectedNode_, &checkNode_, &lastSearchNode_, &heightTrackNode_,
                           &lastDragTarget_}) {
        if (*ref == node) *ref = nullptr;
    }
}
