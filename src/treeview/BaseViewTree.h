#pragma once
// TBaseViewTree: the owner-data tree and list control. Nodes carry no text
// of their own: the owner answers events and keeps its payload in each node's
// user area. The class is implemented by concern:
//   BaseViewTree.cpp          construction, destruction, published properties
//   ViewTreeEventDispatch.cpp the dispatch operation of every event
//   ViewTreeNodes.cpp         node records, adding, linking, deleting, initialising
//   ViewTreeUpdates.cpp       update brackets, change notifications, tree states
//   ViewTreeNodeProperties.cpp child counts, heights, visibility
//   ViewTreeWalks.cpp         navigation and ForEachNode
//   ViewTreePositions.cpp     position cache, node positions, NodeAt
//   ViewTreeSorting.cpp       sorting children
//   ViewTreeSelection.cpp     the selection array, focus
//   ViewTreeChecks.cpp        check states
//   ViewTreeViewEventDispatch.cpp the dispatch of painting, input, editing, drag events
//   ViewTreeExpanding.cpp     expanding and collapsing
//   ViewTreeGeometry.cpp      display rectangles, scroll ranges, offsets and bars
//   ViewTreeCacheValidation.cpp queueing, stopping and reports of the cache worker
//   ViewTreeInternals.cpp     subtree totals, client-area nodes, the drag manager
// The tree is used on the GUI thread only, except the position-cache build,
// which runs on the cache worker (ViewTreeCacheWorker.h).

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/Alignment.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/CustomControl.h"
#include "platform/ui/stdctrls/BorderStyle.h"
#include "treeview/DragManager.h"
#include "treeview/NodePool.h"
#include "treeview/TreeOptions.h"
#include "treeview/TreePaintTypes.h"
#include "treeview/TreeProperties.h"
#include "treeview/ViewNode.h"
#include "treeview/ViewTreeEvents.h"
#include "treeview/ViewTreeTypes.h"

class TChangeLink;
class TCustomImageList;
class TPicture;
struct TTreePaintState;

// Timers of the tree window.
enum TTreeTimer : UINT_PTR {
    kExpandTimer = 1,
    kEditTimer = 2,
    kHeaderTimer = 3,
    kScrollTimer = 4,
    kChangeTimer = 5,
    kStructureChangeTimer = 6,
    kSearchTimer = 7,
};

// Options of the offset operation.
enum class TScrollUpdateOption { scrRepaintHeader, scrRepaintScrollBars, scrScrollClientArea, scrUpdateNCArea };
using enum TScrollUpdateOption;
using TScrollUpdateOptions = TSet<TScrollUpdateOption>;

// One entry of the position cache: a node of the visible walk and its top.
struct TCacheEntry {
    PViewNode node;
    uint32_t absoluteTop;
};

class TBaseViewTree : public TCustomControl {
    RTL_CLASS(TBaseViewTree, TCustomControl);
    UI_MESSAGES(TBaseViewTree, TCustomControl);

public:
    // Nodes per position-cache entry.
    static constexpr uint32_t kCacheThreshold = 2000;

    explicit TBaseViewTree(TComponent* owner);
    ~TBaseViewTree() override;

    // ---- published properties ----
    const String& AccessibleName() const noexcept { return accessibleName_; }
    void SetAccessibleName(const String& value) { accessibleName_ = value; }
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment value);
    uint32_t AnimationDuration() const noexcept { return animationDuration_; }
    void SetAnimationDuration(uint32_t value);
    uint32_t AutoExpandDelay() const noexcept { return autoExpandDelay_; }
    void SetAutoExpandDelay(uint32_t value) { autoExpandDelay_ = value; }
    uint32_t AutoScrollDelay() const noexcept { return autoScrollDelay_; }
    void SetAutoScrollDelay(uint32_t value) { autoScrollDelay_ = value; }
    uint32_t AutoScrollInterval() const noexcept { return autoScrollInterval_; }
    void SetAutoScrollInterval(uint32_t value) { autoScrollInterval_ = value; }
    TPicture* Background() const noexcept { return background_.get(); }
    void SetBackground(TPicture* value);
    int BackgroundOffset(int index) const noexcept { return backgroundOffset_[index]; }
    void SetBackgroundOffset(int index, int value);
    TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    uint32_t BottomSpace() const noexcept { return bottomSpace_; }
    void SetBottomSpace(uint32_t value);
    TVTButtonFillMode ButtonFillMode() const noexcept { return buttonFillMode_; }
    void SetButtonFillMode(TVTButtonFillMode value);
    TVTButtonStyle ButtonStyle() const noexcept { return buttonStyle_; }
    void SetButtonStyle(TVTButtonStyle value);
    uint32_t ChangeDelay() const noexcept { return changeDelay_; }
    void SetChangeDelay(uint32_t value) { changeDelay_ = value; }
    TCheckImageKind CheckImageKind() const noexcept { return checkImageKind_; }
    void SetCheckImageKind(TCheckImageKind value);
    // The check images drawn now: the shared set of CheckImageKind, or CustomCheckImages.
    TCustomImageList* CheckImages() const noexcept { return checkImages_; }
    TClipboardFormats* ClipboardFormats() const noexcept { return clipboardFormats_.get(); }
    void SetClipboardFormats(TClipboardFormats* value);
    TVTColors* Colors() const noexcept { return colors_.get(); }
    void SetColors(TVTColors* value) { colors_->Assign(value); }
    TCustomImageList* CustomCheckImages() const noexcept { return customCheckImages_; }
    void SetCustomCheckImages(TCustomImageList* value);
    uint32_t DefaultNodeHeight() const noexcept { return defaultNodeHeight_; }
    void SetDefaultNodeHeight(uint32_t value);
    TVTNodeAttachMode DefaultPasteMode() const noexcept { return defaultPasteMode_; }
    void SetDefaultPasteMode(TVTNodeAttachMode value) { defaultPasteMode_ = value; }
    int DragHeight() const noexcept { return dragHeight_; }
    void SetDragHeight(int value) { dragHeight_ = value; }
    int DragWidth() const noexcept { return dragWidth_; }
    void SetDragWidth(int value) { dragWidth_ = value; }
    TVTDragImageKind DragImageKind() const noexcept { return dragImageKind_; }
    void SetDragImageKind(TVTDragImageKind value) { dragImageKind_ = value; }
    TDragOperations DragOperations() const noexcept { return dragOperations_; }
    void SetDragOperations(TDragOperations value) { dragOperations_ = value; }
    TVTDragType DragType() const noexcept { return dragType_; }
    void SetDragType(TVTDragType value) { dragType_ = value; }
    TVTDrawSelectionMode DrawSelectionMode() const noexcept { return drawSelectionMode_; }
    void SetDrawSelectionMode(TVTDrawSelectionMode value) { drawSelectionMode_ = value; }
    uint32_t EditDelay() const noexcept { return editDelay_; }
    void SetEditDelay(uint32_t value) { editDelay_ = value; }
    THintAnimationType HintAnimation() const noexcept { return hintAnimation_; }
    void SetHintAnimation(THintAnimationType value) { hintAnimation_ = value; }
    TVTHintMode HintMode() const noexcept { return hintMode_; }
    void SetHintMode(TVTHintMode value) { hintMode_ = value; }
    TCursor HotCursor() const noexcept { return hotCursor_; }
    void SetHotCursor(TCursor value) { hotCursor_ = value; }
    TVTIncrementalSearch IncrementalSearch() const noexcept { return incrementalSearch_; }
    void SetIncrementalSearch(TVTIncrementalSearch value);
    TVTSearchDirection IncrementalSearchDirection() const noexcept { return searchDirection_; }
    void SetIncrementalSearchDirection(TVTSearchDirection value) { searchDirection_ = value; }
    TVTSearchStart IncrementalSearchStart() const noexcept { return searchStart_; }
    void SetIncrementalSearchStart(TVTSearchStart value) { searchStart_ = value; }
    uint32_t IncrementalSearchTimeout() const noexcept { return searchTimeout_; }
    void SetIncrementalSearchTimeout(uint32_t value) { searchTimeout_ = value; }
    TCustomImageList* Images() const noexcept { return images_; }
    void SetImages(TCustomImageList* value);
    TCustomImageList* StateImages() const noexcept { return stateImages_; }
    void SetStateImages(TCustomImageList* value);
    uint32_t Indent() const noexcept { return indent_; }
    void SetIndent(uint32_t value);
    TVTLineMode LineMode() const noexcept { return lineMode_; }
    void SetLineMode(TVTLineMode value);
    TVTLineStyle LineStyle() const noexcept { return lineStyle_; }
    void SetLineStyle(TVTLineStyle value);
    int Margin() const noexcept { return margin_; }
    void SetMargin(int value);
    TVTNodeAlignment NodeAlignment() const noexcept { return nodeAlignment_; }
    void SetNodeAlignment(TVTNodeAlignment value);
    int NodeDataSize() const noexcept { return nodeDataSize_; }
    void SetNodeDataSize(int value);
    bool OperationCanceled() const noexcept { return false; }
    uint32_t RootNodeCount() const noexcept { return root_->childCount; }
    void SetRootNodeCount(uint32_t value);
    TScrollBarOptions* ScrollBarOptions() const noexcept { return scrollBarOptions_.get(); }
    void SetScrollBarOptions(TScrollBarOptions* value) { scrollBarOptions_->Assign(value); }
    uint8_t SelectionBlendFactor() const noexcept { return selectionBlendFactor_; }
    void SetSelectionBlendFactor(uint8_t value) { selectionBlendFactor_ = value; }
    uint32_t SelectionCurveRadius() const noexcept { return selectionCurveRadius_; }
    void SetSelectionCurveRadius(uint32_t value);
    int TextMargin() const noexcept { return textMargin_; }
    void SetTextMargin(int value);
    TCustomViewTreeOptions* TreeOptions() const noexcept { return options_.get(); }
    void SetTreeOptions(TCustomViewTreeOptions* value) { options_->Assign(value); }
    bool WantTabs() const noexcept { return wantTabs_; }
    void SetWantTabs(bool value) { wantTabs_ = value; }

    // Another tree's published settings (a tree's nodes are not copied).
    void Assign(TPersistent* source) override;

    // ---- tree state ----
    TViewTreeStates TreeStates() const noexcept { return states_; }
    void ChangeTreeState(TViewTreeStates enter, TViewTreeStates leave);
    uint32_t VisibleCount() const noexcept { return visibleCount_; }
    uint32_t TotalCount() const noexcept { return root_->totalCount - 1; }
    PViewNode RootNode() const noexcept { return root_; }
    int UpdateCount() const noexcept { return updateCount_; }
    uint32_t InternalDataSize() const noexcept { return internalDataSize_; }

    // ---- node model ----
    // Inline, as owners' comparisons read it for every pair a sort compares.
    void* NodeData(PViewNode node) {
        if (!node || node == root_) return nullptr;
        RTL_ASSERT(nodeDataSize_ > 0, "NodeDataSize not initialized.");
        return reinterpret_cast<std::byte*>(node) + ((kViewNodeHeaderSize + internalDataSize_ + 7) & ~std::size_t(7));
    }
    // Reserves Size bytes (rounded up to 4) in every node's internal area; answers their offset.
    uint32_t ReserveInternalData(uint32_t size);
    virtual PViewNode AddChildNode(PViewNode parent, uintptr_t userValue = 0);
    void DeleteChildNodes(PViewNode node, bool resetHasChildren);
    void RemoveNode(PViewNode node, bool reindex = true);
    virtual void ClearTree();
    void ConnectNode(PViewNode node, PViewNode destination, TVTNodeAttachMode mode);
    PViewNode DisconnectNode(PViewNode node, bool keepFocus, bool reindex);
    virtual void InitializeNode(PViewNode node);
    virtual void InitializeChildren(PViewNode node);
    virtual void ReinitializeNode(PViewNode node, bool recursive);
    void ReinitializeChildren(PViewNode node, bool recursive);
    virtual void ResetNodeContent(PViewNode node);
    void InitializeSubtree(PViewNode node, bool recursive);
    void InitializeChildrenDeep(PViewNode node, bool recursive);
    virtual void BeginTreeUpdate();
    virtual void EndTreeUpdate();
    virtual void NotifyChange(PViewNode node);
    virtual void NotifyStructureChange(PViewNode node, TChangeReason reason);
    // Runs the pending change or structure change that the timer of that number deferred.
    void FireDeferredNotification(UINT_PTR timer);

    // ---- node properties ----
    void ChangeChildCount(PViewNode node, uint32_t newCount);
    void ChangeNodeHeight(PViewNode node, uint32_t height);
    // The row height; measured first (once) for variable heights.
    uint32_t NodeHeight(PViewNode node);
    void SetNodeVisibility(PViewNode node, bool visible);
    bool NodeVisible(PViewNode node) const noexcept { return node && node->states.Contains(nsVisible); }
    void SetNodeHidden(PViewNode node, bool hidden);
    void RevealNode(PViewNode node, bool value);
    void SetNodeDisabled(PViewNode node, bool disabled);
    void SetNodeHasChildren(PViewNode node, bool value);
    bool FullyVisible(PViewNode node) const;
    bool EffectivelyHidden(PViewNode node) const noexcept;
    // Whether a visible walk meets the node among its siblings.
    bool ShowsInWalk(PViewNode node, bool includeHidden) const noexcept {
        return node->states.Contains(nsVisible) && (includeHidden || !EffectivelyHidden(node));
    }
    bool EffectivelyVisible(PViewNode node) const noexcept;
    uint32_t NodeLevel(PViewNode node) const noexcept;
    bool IsDescendantOf(PViewNode node, PViewNode potentialParent) const noexcept;
    // The tree's window timers; stopping one that does not run does nothing.
    void StartTreeTimer(UINT_PTR id, UINT milliseconds);
    void KillTreeTimer(UINT_PTR id);
    void SetRedraw(bool updating);

    // ---- walks ----
    PViewNode FirstNode(bool considerChildrenAbove = true);
    PViewNode FirstNodeRaw(bool considerChildrenAbove = true) const;
    PViewNode NextNode(PViewNode node, bool considerChildrenAbove = false);
    PViewNode NextNodeRaw(PViewNode node, bool considerChildrenAbove = false) const;
    PViewNode PreviousNode(PViewNode node, bool considerChildrenAbove = false);
    PViewNode PreviousNodeRaw(PViewNode node, bool considerChildrenAbove = false) const;
    PViewNode LastNode(PViewNode node = nullptr, bool considerChildrenAbove = true);
    PViewNode LastNodeRaw(PViewNode node = nullptr, bool considerChildrenAbove = true) const;
    PViewNode FirstChildNode(PViewNode node);
    PViewNode LastChildNode(PViewNode node);
    PViewNode LastChildNodeRaw(PViewNode node) const;
    PViewNode NextSiblingNode(PViewNode node);
    PViewNode PreviousSiblingNode(PViewNode node);
    PViewNode FirstVisibleNode(PViewNode node = nullptr, bool considerChildrenAbove = true, bool includeHidden = false);
    PViewNode FirstVisibleNodeRaw(PViewNode node = nullptr, bool considerChildrenAbove = true,
                                  bool includeHidden = false) const;
    PViewNode NextVisibleNode(PViewNode node, bool considerChildrenAbove = true, bool includeHidden = false);
    PViewNode NextVisibleNodeRaw(PViewNode node, bool considerChildrenAbove = true, bool includeHidden = false) const;
    PViewNode PreviousVisibleNode(PViewNode node, bool considerChildrenAbove = true, bool includeHidden = false);
    PViewNode PreviousVisibleNodeRaw(PViewNode node, bool considerChildrenAbove = true,
                                     bool includeHidden = false) const;
    PViewNode LastVisibleNode(PViewNode node = nullptr, bool considerChildrenAbove = true, bool includeHidden = false);
    PViewNode LastVisibleNodeRaw(PViewNode node = nullptr, bool considerChildrenAbove = true,
                                 bool includeHidden = false) const;
    PViewNode FirstVisibleChildNode(PViewNode node, bool includeHidden = false);
    PViewNode LastVisibleChildNode(PViewNode node, bool includeHidden = false);
    PViewNode LastVisibleChildNodeRaw(PViewNode node, bool includeHidden = false) const;
    PViewNode NextVisibleSiblingNode(PViewNode node, bool includeHidden = false);
    PViewNode PreviousVisibleSiblingNode(PViewNode node, bool includeHidden = false);
    PViewNode PreviousVisibleSiblingNodeRaw(PViewNode node, bool includeHidden = false) const;
    PViewNode FirstInitializedNode(bool considerChildrenAbove = true) const;
    PViewNode NextInitializedNode(PViewNode node, bool considerChildrenAbove = true) const;
    PViewNode FirstSelectedNode(bool considerChildrenAbove = false);
    PViewNode NextSelectedNode(PViewNode node, bool considerChildrenAbove = false);
    PViewNode FirstCutCopyNode(bool considerChildrenAbove = false);
    PViewNode NextCutCopyNode(PViewNode node, bool considerChildrenAbove = false);
    using TVTForEachCallback = std::function<void(TBaseViewTree* sender, PViewNode node, void* data, bool& abort)>;
    PViewNode ForEachNode(PViewNode node, const TVTForEachCallback& callback, void* data = nullptr,
                          TNodeStates filter = {}, bool doInit = false, bool childNodesOnly = false);
    PViewNode VisibleParent(PViewNode node, bool includeHidden = false) const;
    int CompareWalkOrder(PViewNode node1, PViewNode node2, bool considerChildrenAbove = false) const;

    // ---- positions ----
    PViewNode NodeAt(int x, int y) { int top; return NodeAt(x, y, true, top); }
    PViewNode NodeAt(int x, int y, bool relative, int& nodeTop);
    // The node's top in the unscrolled tree (the sum of the heights of the visible rows above it).
    uint32_t NodeTop(PViewNode node);
    // Queues a rebuild on the cache worker when the cache needs one.
    virtual void ValidatePositionCache();
    void InvalidatePositionCache();
    // Runs on the cache worker; it reads only the nodes the base class keeps.
    bool BuildPositionCache();
    // Stops the cache worker for this tree and waits until it has left it.
    void InterruptCacheBuild();
    const std::vector<TCacheEntry>& PositionCache() const noexcept { return positionCache_; }

    // ---- sorting ----
    virtual void SortChildren(PViewNode node, TColumnIndex column, TSortDirection direction, bool doInit = true);
    virtual void SortAllLevels(TColumnIndex column, TSortDirection direction, bool doInit = true);
    virtual int CompareNodes(PViewNode node1, PViewNode node2, TColumnIndex column);
    // The header's sort state; there is no header yet, so no column is sorted by.
    TColumnIndex SortColumn() const noexcept { return kNoColumn; }
    TSortDirection SortDirection() const noexcept { return sdAscending; }
    // The header's main column and focus rule; there are no columns yet, so none can take the focus.
    TColumnIndex MainColumn() const noexcept { return kNoColumn; }
    bool ColumnCanTakeFocus(TColumnIndex) const noexcept { return false; }

    // ---- selection and focus ----
    uint32_t SelectedCount() const noexcept { return uint32_t(selection_.size()); }
    // The Index-th selected node in address order; nil outside 0 .. SelectedCount − 1.
    PViewNode SelectedNodeAt(int index) const noexcept;
    bool Selected(PViewNode node) const noexcept { return node && node->states.Contains(nsSelected); }
    void SetNodeSelected(PViewNode node, bool value);
    virtual void SelectNode(PViewNode node);
    virtual void SelectNodeBatch(const PViewNode* nodes, int count, bool forceInsert);
    bool InsertIntoSelection(const PViewNode* nodes, int count, bool forceInsert);
    virtual void DeselectNode(PViewNode node);
    virtual void MarkForDeselection(PViewNode node);
    // Drops the entries marked for deselection; answers the new count (−1 when it was 0).
    int PackSelection();
    void DeselectAll();
    virtual void EmptySelection();
    virtual void SelectRange(PViewNode startNode, PViewNode endNode, bool addOnly = true);
    virtual void FlipRange(PViewNode startNode, PViewNode endNode);
    virtual void DeselectRange(PViewNode startNode, PViewNode endNode);
    void SelectEveryNode(bool visibleOnly);
    std::vector<PViewNode> SelectionInTreeOrder(bool resolve) const;
    std::vector<PViewNode> CutCopyNodesInTreeOrder(bool resolve) const;
    virtual void DeleteSelection();
    virtual void ResetAnchor();
    PViewNode RangeAnchor() const noexcept { return rangeAnchor_; }
    void SetSelectionLocked(bool locked) noexcept { selectionLocked_ = locked; }
    PViewNode FocusedNode() const noexcept { return focusedNode_; }
    void SetFocusedNode(PViewNode node);
    virtual void FocusNode(PViewNode node, bool ask);
    TColumnIndex FocusedColumn() const noexcept { return focusedColumn_; }
    void FocusColumn(TColumnIndex column);
    virtual void FocusCell(PViewNode node, TColumnIndex column);

    // ---- checks ----
    virtual TCheckState NextCheckState(TCheckType checkType, TCheckState checkState) const;
    void SetCheckType(PViewNode node, TCheckType value);
    void RequestCheckState(PViewNode node, TCheckState state);
    bool ApplyCheckState(PViewNode node, TCheckState value);
    virtual void CheckClick(PViewNode node, TCheckState newState);
    virtual bool CheckingAllowed(PViewNode node, TCheckState& newState);
    virtual bool UpdateParentCheckState(PViewNode node, TCheckState newState);

    // ---- expanding, scrolling, geometry ----
    void ToggleExpanded(PViewNode node);
    void SetExpanded(PViewNode node, bool value);
    bool Expanded(PViewNode node) const noexcept { return node && node->states.Contains(nsExpanded); }
    virtual void ExpandAll(PViewNode node = nullptr);
    virtual void CollapseAll(PViewNode node = nullptr);
    void MeasureNodeHeight(TCanvas* canvas, PViewNode node);
    TRect DisplayRect(PViewNode node, TColumnIndex column, bool textOnly, bool unclipped = false,
                      bool applyCellContentMargin = false);
    // The width of the node's content in the column; the base tree shows none.
    virtual int NodeWidth(PViewNode node, TColumnIndex column);
    // The widest row extent among the rows that start in the window.
    virtual int MaxRightExtent();
    // The horizontal scroll position as the scroll bar sees it.
    int EffectiveOffsetX() const noexcept { return -offsetX_; }
    bool BringIntoView(PViewNode node, bool center, bool horizontally = false);
    void ScrollNodeToTop(PViewNode node);
    void ScrollNodeToBottom(PViewNode node);
    void ScrollToOffsetX(int value);
    void ScrollToOffsetY(int value);
    virtual bool SetScrollOffsets(TPoint offset, TScrollUpdateOptions options);
    int OffsetX() const noexcept { return offsetX_; }
    int OffsetY() const noexcept { return offsetY_; }
    int RangeX() const noexcept { return rangeX_; }
    int RangeY() const noexcept { return rangeY_; }
    virtual void SyncScrollBars(bool doRepaint);
    void InvalidateFromRow(PViewNode node);
    virtual void InvalidateRow(PViewNode node);

    // ---- events ----
    TVTGetNodeDataSizeEvent OnGetNodeDataSize;
    TVTInitNodeEvent OnInitNode;
    TVTInitChildrenEvent OnInitChildren;
    TVTFreeNodeEvent OnFreeNode;
    TVTChangeEvent OnResetNode;
    TVTChangeEvent OnChange;
    TVTStructureChangeEvent OnStructureChange;
    TVTUpdatingEvent OnUpdating;
    TVTStateChangeEvent OnStateChange;
    TVTCompareEvent OnCompareNodes;
    TVTMeasureItemEvent OnMeasureItem;
    TVTNodeMovingEvent OnNodeMoving;
    TVTChangeEvent OnNodeMoved;
    TVTNodeMovingEvent OnNodeCopying;
    TVTChangeEvent OnNodeCopied;
    TVTChangingEvent OnExpanding;
    TVTChangingEvent OnCollapsing;
    TVTChangeEvent OnExpanded;
    TVTChangeEvent OnCollapsed;
    TVTScrollEvent OnScroll;
    TVTScrollbarShowEvent OnShowScrollbar;
    TVTFocusChangingEvent OnFocusChanging;
    TVTFocusChangeEvent OnFocusChanged;
    TVTCheckChangingEvent OnChecking;
    TVTChangeEvent OnChecked;
    TVTHotNodeChangeEvent OnHotChange;
    TVTGetCellIsEmptyEvent OnGetCellIsEmpty;
    TVTGetHelpContextEvent OnGetHelpContext;
    TVTDragAllowedEvent OnDragAllowed;
    TVTPaintEvent OnBeforePaint;
    TVTPaintEvent OnAfterPaint;
    TVTBeforeItemEraseEvent OnBeforeItemErase;
    TVTAfterItemEraseEvent OnAfterItemErase;
    TVTBeforeItemPaintEvent OnBeforeItemPaint;
    TVTAfterItemPaintEvent OnAfterItemPaint;
    TVTBeforeCellPaintEvent OnBeforeCellPaint;
    TVTAfterCellPaintEvent OnAfterCellPaint;
    TVTBackgroundPaintEvent OnPaintBackground;
    TVTGetLineStyleEvent OnGetLineStyle;
    TVTGetImageEvent OnGetImageIndex;
    TVTGetImageExEvent OnGetImageIndexEx;
    TVTGetImageTextEvent OnGetImageText;
    TVTKeyActionEvent OnKeyAction;
    TVTIncrementalSearchEvent OnIncrementalSearch;
    TVTPopupEvent OnGetPopupMenu;
    TVTGetCursorEvent OnGetCursor;
    TVTNodeHeightTrackingEvent OnNodeHeightTracking;
    TVTNodeHeightDblClickResizeEvent OnNodeHeightDblClickResize;
    TVTColumnClickEvent OnColumnClick;
    TVTColumnClickEvent OnColumnDblClick;
    TVTCreateEditorEvent OnCreateEditor;
    TVTEditChangingEvent OnEditing;
    TVTEditChangeEvent OnEdited;
    TVTEditCancelEvent OnEditCancelled;
    TVTDragOverEvent OnDragOver;
    TVTDragDropEvent OnDragDrop;
    TVTCreateDataObjectEvent OnCreateDataObject;
    TVTCreateDragManagerEvent OnCreateDragManager;
    TVTRenderOLEDataEvent OnRenderOLEData;
    TVTGetUserClipboardFormatsEvent OnGetUserClipboardFormats;

    // ---- position-cache worker and internals ----
    // Whether the worker is asked to stop at this tree; read on the worker.
    bool StopValidationRequested() const noexcept { return stopValidation_.load(std::memory_order_relaxed); }
    // Builds the cache on the GUI thread at once, after stopping the worker for this tree.
    bool ValidatePositionCacheNow();
    // The totals of a subtree just read from a stream, whose nodes start with a
    // count of 1 and their own height.
    void RecountSubtree(PViewNode node);
    void RecomputeSubtreeHeights(PViewNode node);
    // The nodes whose rows cover the first and the last client row (nil for none).
    PViewNode NodeAtClientTop();
    PViewNode NodeAtClientBottom();
    // The node's own nsVisible after initialising it; nil means the root.
    bool IsNodeVisible(PViewNode node);
    // Made on first use through OnCreateDragManager, then kept.
    TIntfPtr<IVTDragManager> EnsureDragManager();

    // Every node pointer the tree keeps, by name, for checks that none names a freed node.
    std::vector<std::pair<const char*, PViewNode>> NodeReferences() const;

protected:
    // Message handlers.
    void CMSysColorChange(TMessage& message);

    // The options object of the tree's class; a descendant's constructor
    // replaces the base's with ReplaceOptions(CreateOptions()).
    virtual std::unique_ptr<TCustomViewTreeOptions> CreateOptions();
    void ReplaceOptions(std::unique_ptr<TCustomViewTreeOptions> options) { options_ = std::move(options); }
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void CreateParams(TCreateParams& params) override;

    // ---- dispatch operations ----
    virtual int DoGetNodeDataSize();
    virtual void DoInitNode(PViewNode parent, PViewNode node, TViewNodeInitStates& initStates);
    virtual uint32_t DoInitChildren(PViewNode node, uint32_t childCount);
    virtual void DoFreeNode(PViewNode node);
    virtual void DoReset(PViewNode node);
    virtual void DoChange(PViewNode node);
    virtual void DoStructureChange(PViewNode node, TChangeReason reason);
    virtual void DoUpdating(TVTUpdateState state);
    virtual void DoStateChange(TViewTreeStates enter, TViewTreeStates leave);
    virtual int DoCompare(PViewNode node1, PViewNode node2, TColumnIndex column);
    virtual int DoMeasureItem(TCanvas* canvas, PViewNode node, int nodeHeight);
    virtual bool DoNodeMoving(PViewNode node, PViewNode target);
    virtual void DoNodeMoved(PViewNode node);
    virtual bool DoNodeCopying(PViewNode node, PViewNode target);
    virtual void DoNodeCopied(PViewNode node);
    virtual bool DoExpanding(PViewNode node);
    virtual bool DoCollapsing(PViewNode node);
    virtual void DoExpanded(PViewNode node);
    virtual void DoCollapsed(PViewNode node);
    virtual void DoScroll(int deltaX, int deltaY);
    virtual void DoShowScrollBar(int bar, bool show);
    virtual bool DoFocusChanging(PViewNode oldNode, PViewNode newNode, TColumnIndex oldColumn,
                                 TColumnIndex newColumn);
    virtual void DoFocusChange(PViewNode node, TColumnIndex column);
    virtual bool DoChecking(PViewNode node, TCheckState& newState);
    virtual void DoChecked(PViewNode node);
    virtual void DoHotChange(PViewNode oldNode, PViewNode newNode);
    virtual bool DoGetCellIsEmpty(PViewNode node, TColumnIndex column);
    virtual int DoGetHelpContext(PViewNode node, TColumnIndex column);
    virtual bool DoDragAllowed(PViewNode node, TColumnIndex column);
    virtual void DoBeforePaint(TCanvas* canvas);
    virtual void DoAfterPaint(TCanvas* canvas);
    virtual void DoBeforeItemErase(TCanvas* canvas, PViewNode node, TRect itemRect, TColor& itemColor,
                                   TItemEraseAction& eraseAction);
    virtual void DoAfterItemErase(TCanvas* canvas, PViewNode node, TRect itemRect);
    virtual bool DoBeforeItemPaint(TCanvas* canvas, PViewNode node, TRect itemRect);
    virtual void DoAfterItemPaint(TCanvas* canvas, PViewNode node, TRect itemRect);
    // Without a handler nothing happens; asking for content margins keeps the window's pending repaint.
    virtual void DoBeforeCellPaint(TCanvas* canvas, PViewNode node, TColumnIndex column, TVTCellPaintMode mode,
                                   TRect cellRect, TRect& contentRect);
    virtual void DoAfterCellPaint(TCanvas* canvas, PViewNode node, TColumnIndex column, TRect cellRect);
    virtual bool DoPaintBackground(TCanvas* canvas, TRect r);
    virtual void DoGetLineStyle(void*& bits);
    // The image of a kind and the list it comes from (the tree's own list for the kind when the owner names none).
    virtual int DoGetImageIndex(PViewNode node, TVTImageKind kind, TColumnIndex column, bool& ghosted,
                                TCustomImageList*& imageList);
    virtual bool DoKeyAction(uint16_t& charCode, TShiftState& shift);
    virtual int DoIncrementalSearch(PViewNode node, const String& searchText);
    // Asks for the node, then its parents below the root, while no menu came and the owner lets it ask on.
    virtual TPopupMenu* DoGetPopupMenu(PViewNode node, TColumnIndex column, TPoint position);
    virtual void DoGetCursor(TCursor& cursor);
    virtual bool DoNodeHeightTracking(PViewNode node, TColumnIndex column, TShiftState shift, TPoint& trackPoint,
                                      TPoint p);
    virtual bool DoNodeHeightDblClickResize(PViewNode node, TColumnIndex column, TShiftState shift, TPoint p);
    virtual void DoColumnClick(TColumnIndex column, TShiftState shift);
    virtual void DoColumnDblClick(TColumnIndex column, TShiftState shift);
    virtual bool DoEditing(PViewNode node, TColumnIndex column, bool allowed);
    virtual void DoEdited(PViewNode node, TColumnIndex column);
    virtual void DoEditCancelled(TColumnIndex column);
    virtual bool DoDragOver(TObject* source, TShiftState shift, TDragState state, TPoint pt, TDropMode mode,
                            int& effect);
    virtual void DoDragDrop(TObject* source, IDataObject* dataObject, const TFormatArray& formats, TShiftState shift,
                            TPoint pt, int& effect, TDropMode mode);
    virtual TIntfPtr<IDataObject> DoCreateDataObject();
    virtual HRESULT DoRenderOLEData(const FORMATETC& formatEtcIn, STGMEDIUM& medium, bool forClipboard);
    virtual void DoGetUserClipboardFormats(TFormatEtcArray& formats);

    // The record is released after OnFreeNode; every reference of the tree to it is forgotten first.
    virtual void FreeNodeRecord(PViewNode node);
    // Editing comes later: nothing is edited, so ending or cancelling an edit always succeeds.
    bool CommitNodeEdit() { return true; }
    bool CancelNodeEdit() { return true; }

private:
    friend class TCustomViewTreeOptions;
    friend class TScrollBarOptions;
    friend class TVTColors;

    bool Loading() const noexcept { return ComponentState().Contains(csLoading); }
    bool Destroying() const noexcept { return ComponentState().Contains(csDestroying); }
    bool HasOption(TVTMiscOption o) const noexcept { return options_->MiscOptions().Contains(o); }
    bool HasOption(TVTAutoOption o) const noexcept { return options_->AutoOptions().Contains(o); }
    bool HasOption(TVTPaintOption o) const noexcept { return options_->PaintOptions().Contains(o); }
    bool HasOption(TVTSelectionOption o) const noexcept { return options_->SelectionOptions().Contains(o); }
    bool ReadOnly() const noexcept { return HasOption(toReadOnly); }
    void RepaintIfRunning();
    void MakeRootNode();
    PViewNode NewNode();
    void SetUpNodePool();
    void UpdateNodeDataSizeFromEvent();
    void AddToTotalCount(PViewNode node, int64_t value, bool relative = true);
    void AddToTotalHeight(PViewNode node, int64_t value, bool relative = true);
    uint32_t VisibleDescendantCount(PViewNode node) const noexcept;
    // The node is a row of the view: it and every ancestor below the root are
    // effectively visible and every ancestor is expanded.
    bool Displayed(PViewNode node) const noexcept;
    void UpdateAllChildrenHidden(PViewNode node);
    void RecomputeAllChildrenHiddenEverywhere();
    void RecountHiddenNodes();
    // Sets or clears nsVisible or nsHidden; when that changes whether the node
    // shows, its subtree's height and rows are carried to the parent and the view.
    void ChangeShowingFlag(PViewNode node, TNodeState flag, bool on);
    // Node references the tree keeps that must not outlive the node.
    void ForgetNodeReferences(PViewNode node) noexcept;
    bool IsFirstVisibleChild(PViewNode parent, PViewNode node) const;
    PViewNode DeepestFirstVisible(PViewNode node, bool includeHidden) const;
    void StartOrRaiseChange(UINT_PTR timer);
    void UpdateRanges();
    void InvalidateWindow();
    void CacheNodeForBatch(PViewNode node) { tempNodeCache_.push_back(node); }
    void AddCachedNodesToSelection();
    bool LocateInSelection(PViewNode node, int& index) const;
    void ChangeScrollBarVisibility(int bar, bool show);
    int SyncScrollBar(int bar, bool wanted, int range, int page, int position, bool doRepaint);
    void SyncVerticalScrollBar(bool doRepaint);
    void SyncHorizontalScrollBar(bool doRepaint);
    bool PositionCacheLookup(uint32_t position, PViewNode& node, uint32_t& top) const;
    void ApplyCheckedStateToChildren(PViewNode node, TCheckState& value);
    // Hands the tree's change link and free notification from the old list to the new one.
    void ExchangeImageList(TCustomImageList*& slot, TChangeLink& link, TCustomImageList* value);
    void ImageListChanged(TObject* sender);
    // Where the node's text starts in its row: margin, indent, check, state and normal images.
    int ContentOffset(PViewNode node, TColumnIndex column);
    bool PositionCacheLookupByNode(PViewNode node, PViewNode& entryNode, uint32_t& top) const;
    // Keeps the view sensible after a node opened or closed by HeightDelta pixels.
    void KeepViewAfterToggle(PViewNode node, bool expanded, int heightDelta);

    // ---- position-cache worker and internals ----
protected:
    // Asks OnCreateDragManager; nil when no handler supplies one.
    virtual TIntfPtr<IVTDragManager> DoCreateDragManager();

private:
    void WMValidationReport(TMessage& message);
    // The scroll bars follow a finished build when heights are measured.
    void AfterCacheBuilt(bool built);
    std::atomic<bool> stopValidation_ = false; // tsStopValidation, for the worker
    bool servingValidationReport_ = false;
    TIntfPtr<IVTDragManager> dragManager_;

    // Node storage. The root's block starts with the tree's address, then the
    // root's header and internal area.
    static constexpr std::size_t kRootTreeLinkSize = 8;
    static_assert(sizeof(TBaseViewTree*) <= kRootTreeLinkSize);
    friend TBaseViewTree* TreeOfNode(PViewNode node);
    TNodePool pool_;
    std::unique_ptr<std::byte[]> rootBlock_;
    PViewNode root_ = nullptr;
    int nodeDataSize_ = -1;
    uint32_t internalDataSize_ = 0;

    // Tree values.
    TViewTreeStates states_;
    int updateCount_ = 0;
    uint32_t visibleCount_ = 0;
    PViewNode lastChangedNode_ = nullptr;
    PViewNode lastStructureChangeNode_ = nullptr;
    TChangeReason lastStructureChangeReason_ = crIgnore;
    PViewNode focusedNode_ = nullptr;
    TColumnIndex focusedColumn_ = kNoColumn;
    PViewNode rangeAnchor_ = nullptr;
    int selectionLevel_ = -1;
    PViewNode hotNode_ = nullptr;
    PViewNode dropTargetNode_ = nullptr;
    PViewNode lastSelectedNode_ = nullptr;
    PViewNode checkNode_ = nullptr;
    TCheckState pendingCheckState_ = csUncheckedNormal;
    PViewNode lastSearchNode_ = nullptr;
    PViewNode heightTrackNode_ = nullptr;
    PViewNode lastDragTarget_ = nullptr;
    std::vector<uintptr_t> selection_;  // node addresses in ascending order; bit 0 marks deletion
    std::vector<PViewNode> tempNodeCache_;
    bool selectionLocked_ = false;
    int checkPropagationCount_ = 0;
    int offsetX_ = 0;
    int offsetY_ = 0;
    int rangeX_ = 0;
    int rangeY_ = 0;
    bool horizontalBarShown_ = false;
    uint32_t runningTimers_ = 0; // bit n: timer n runs
    std::vector<TCacheEntry> positionCache_;
    uint32_t cacheStartIndex_ = 0;

    // Owned objects.
    std::unique_ptr<TCustomViewTreeOptions> options_;
    std::unique_ptr<TScrollBarOptions> scrollBarOptions_;
    std::unique_ptr<TVTColors> colors_;
    std::unique_ptr<TClipboardFormats> clipboardFormats_;
    std::unique_ptr<TPicture> background_;
    std::unique_ptr<TChangeLink> imagesLink_;
    std::unique_ptr<TChangeLink> stateImagesLink_;
    std::unique_ptr<TChangeLink> customCheckImagesLink_;
    TCustomImageList* images_ = nullptr;
    TCustomImageList* stateImages_ = nullptr;

    // Published values.
    String accessibleName_;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    uint32_t animationDuration_ = 200;
    uint32_t autoExpandDelay_ = 1000;
    uint32_t autoScrollDelay_ = 1000;
    uint32_t autoScrollInterval_ = 1;
    int backgroundOffset_[2] = {0, 0};
    uint32_t bottomSpace_ = 0;
    TVTButtonFillMode buttonFillMode_ = fmTreeColor;
    TVTButtonStyle buttonStyle_ = bsRectangle;
    uint32_t changeDelay_ = 0;
    TCheckImageKind checkImageKind_ = ckSystemDefault;
    TCustomImageList* checkImages_ = nullptr;
    TCustomImageList* customCheckImages_ = nullptr;
    uint32_t defaultNodeHeight_ = 18;
    TVTNodeAttachMode defaultPasteMode_ = amAddChildLast;
    int dragHeight_ = 350;
    int dragWidth_ = 200;
    TVTDragImageKind dragImageKind_ = diComplete;
    TDragOperations dragOperations_{doCopy, doMove};
    TVTDragType dragType_ = dtOLE;
    TVTDrawSelectionMode drawSelectionMode_ = smDottedRectangle;
    uint32_t editDelay_ = 1000;
    THintAnimationType hintAnimation_ = hatSystemDefault;
    TVTHintMode hintMode_ = hmDefault;
    TCursor hotCursor_ = crDefault;
    TVTIncrementalSearch incrementalSearch_ = isNone;
    TVTSearchDirection searchDirection_ = sdForward;
    TVTSearchStart searchStart_ = ssFocusedNode;
    uint32_t searchTimeout_ = 1000;
    uint32_t indent_ = 18;
    TVTLineMode lineMode_ = lmNormal;
    TVTLineStyle lineStyle_ = lsDotted;
    int margin_ = 4;
    TVTNodeAlignment nodeAlignment_ = naProportional;
    uint8_t selectionBlendFactor_ = 128;
    uint32_t selectionCurveRadius_ = 0;
    int textMargin_ = 4;
    bool wantTabs_ = false;
    TBorderStyle borderStyle_ = kSingleBorder;

    // ---- painting (ViewTreePainting.cpp, ViewTreeCells.cpp, ViewTreeLines.cpp,
    //      ViewTreeBackground.cpp, ViewTreeToggleStep.cpp) ----
public:
    // Paints Window (unscrolled tree coordinates) of the tree onto Target at TargetPoint. Nothing while a paint runs.
    void RenderTree(TCanvas* target, TRect window, TPoint targetPoint, TPaintTreeOptions options);
    // One line type per indentation level; answers the number of selected ancestors.
    int ComputeLineImages(PViewNode node, TLineImage& lineImages);
    void PaintLineImage(TVTPaintInfo& paintInfo, int x, int y, int h, int vAlign, TVTLineType style, bool reverse);
    // Rebuilds the button bitmaps (Buttons) and the tree-line pattern brush (Lines).
    void BuildButtonBitmaps(bool buttons, bool lines);
    // The four button bitmaps: collapsed, expanded, hot collapsed, hot expanded.
    HBITMAP ButtonBitmap(bool expanded, bool hot);
    int CheckImageIndex(PViewNode node);
    void PaintStaticBackground(TCanvas* canvas, TRect r, TPoint offset);
    void PaintTiledBackground(TCanvas* canvas, TRect r, TPoint offset);
    // One step of the expand/collapse animation; always true.
    bool ToggleStep(int step, int stepSize, TToggleStepData& data);
    // Cell layout steps of the row painter.
    void StartAtFirstColumn(TVTPaintInfo& paintInfo, bool allowFocusedColumn);
    void PlaceCellImage(TVTPaintInfo& paintInfo, TVTImageInfoIndex which, int imageWidth, int imageHeight);
    void ShiftByIndent(TVTPaintInfo& paintInfo, int level);
    PViewNode HotNode() const noexcept { return hotNode_; }
    // The hot node, and whether the mouse is over its button.
    void SetHotNode(PViewNode node, bool overButton = false);
    PViewNode DropTargetNode() const noexcept { return dropTargetNode_; }
    TDropMode LastDropMode() const noexcept;
    void SetDropTarget(PViewNode node, TDropMode mode);
    // The rubber band of a draw selection in tree coordinates; painted while tsDrawSelecting is set.
    void SetDrawSelectionRect(TRect r);

protected:
    void Paint() override;
    virtual bool CellIsEmpty(PViewNode node, TColumnIndex column);
    virtual void ExtendCellRect(TVTPaintInfo& paintInfo, TColumnIndex& nextNonEmpty);
    virtual void PaintCellBackground(TVTPaintInfo& paintInfo, int windowOrgX, int maxWidth);
    virtual void DrawTreeLines(TVTPaintInfo& paintInfo, const TLineImage& lineImage);
    virtual void DrawExpandButton(TVTPaintInfo& paintInfo);
    virtual void DrawCheckImage(TVTPaintInfo& paintInfo);
    virtual void DrawNodeImage(TVTPaintInfo& paintInfo, TVTImageInfoIndex which, bool doOverlay);
    // The cell's content; the base tree has none.
    virtual void PaintNodeContent(TVTPaintInfo&) {}
    virtual void DrawDropMark(TVTPaintInfo& paintInfo, TRect r);
    virtual void DrawRubberBand(TCanvas* canvas, TRect r);
    virtual void DottedLineH(TCanvas* canvas, int left, int right, int top);
    virtual void DottedLineV(TCanvas* canvas, int left, int top, int bottom);
    virtual void ImageIndexFor(TVTPaintInfo& paintInfo, TVTImageKind kind, TVTImageInfoIndex which);
    virtual TPoint CellContentMargin(PViewNode node, TColumnIndex column, int marginType, TCanvas* canvas);
    // Whether a cell of Column is painted as the main column (lines, button, check, indentation).
    bool IsMainPaintColumn(TColumnIndex column) const noexcept { return column == kNoColumn || column == MainColumn(); }
    TTreePaintState& PaintState();

private:
    void PaintRow(TVTPaintInfo& paintInfo, TRect window, TPoint targetPoint, int rowTop, int height,
                  bool showBackground);
    void PaintCells(TVTPaintInfo& paintInfo, TRect window, int height);
    void PaintAreaBelowRows(TCanvas* target, TRect area, TPoint targetPoint, bool showBackground);
    // The background picture over R: TreeOffset places R in the tree, TargetOffset on the target.
    void FillBackgroundRect(TCanvas* canvas, TRect r, TPoint treeOffset, TPoint targetOffset);
    bool RubberBandShown();
    int RowVAlign(PViewNode node, int nodeHeight, bool imagesShown);
    std::unique_ptr<TTreePaintState> paintState_;
};

// The tree a node belongs to, found through its root; a nil node fails the
// assertion "Node must not be nil.".
TBaseViewTree* TreeOfNode(PViewNode node);
