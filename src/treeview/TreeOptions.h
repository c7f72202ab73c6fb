#pragma once
// The behaviour switches of a tree, grouped in five option sets plus the
// export mode (and, for string trees, the string options). Writing a set
// applies its immediate consequences to the running owner tree; every other
// effect is read by the tree where it matters.

#include "platform/rtl/Persistent.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/TypeInfo.h"

class TBaseViewTree;

enum class TVTPaintOption {
    toHideFocusRect, toHideSelection, toHotTrack, toPopupMode, toShowBackground, toShowButtons,
    toShowDropmark, toShowHorzGridLines, toShowRoot, toShowTreeLines, toShowVertGridLines, toThemeAware,
    toUseBlendedImages, toGhostedIfUnfocused, toFullVertGridLines, toAlwaysHideSelection,
    toUseBlendedSelection, toStaticBackground, toChildrenAbove, toFixedIndent, toUseExplorerTheme,
    toHideTreeLinesIfThemed, toShowHiddenNodes,
};
using enum TVTPaintOption;
RTL_ENUM(TVTPaintOption, toHideFocusRect, toHideSelection, toHotTrack, toPopupMode, toShowBackground,
         toShowButtons, toShowDropmark, toShowHorzGridLines, toShowRoot, toShowTreeLines, toShowVertGridLines,
         toThemeAware, toUseBlendedImages, toGhostedIfUnfocused, toFullVertGridLines, toAlwaysHideSelection,
         toUseBlendedSelection, toStaticBackground, toChildrenAbove, toFixedIndent, toUseExplorerTheme,
         toHideTreeLinesIfThemed, toShowHiddenNodes);
using TVTPaintOptions = TSet<TVTPaintOption>;

enum class TVTAnimationOption { toAnimatedToggle, toAdvancedAnimatedToggle };
using enum TVTAnimationOption;
RTL_ENUM(TVTAnimationOption, toAnimatedToggle, toAdvancedAnimatedToggle);
using TVTAnimationOptions = TSet<TVTAnimationOption>;

enum class TVTAutoOption {
    toAutoDropExpand, toAutoExpand, toAutoScroll, toAutoScrollOnExpand, toAutoSort, toAutoSpanColumns,
    toAutoTristateTracking, toAutoHideButtons, toAutoDeleteMovedNodes, toDisableAutoscrollOnFocus,
    toAutoChangeScale, toAutoFreeOnCollapse, toDisableAutoscrollOnEdit, toAutoBidiColumnOrdering,
};
using enum TVTAutoOption;
RTL_ENUM(TVTAutoOption, toAutoDropExpand, toAutoExpand, toAutoScroll, toAutoScrollOnExpand, toAutoSort,
         toAutoSpanColumns, toAutoTristateTracking, toAutoHideButtons, toAutoDeleteMovedNodes,
         toDisableAutoscrollOnFocus, toAutoChangeScale, toAutoFreeOnCollapse, toDisableAutoscrollOnEdit,
         toAutoBidiColumnOrdering);
using TVTAutoOptions = TSet<TVTAutoOption>;

enum class TVTSelectionOption {
    toDisableDrawSelection, toExtendedFocus, toFullRowSelect, toLevelSelectConstraint, toMiddleClickSelect,
    toMultiSelect, toRightClickSelect, toSiblingSelectConstraint, toCenterScrollIntoView, toSimpleDrawSelection,
};
using enum TVTSelectionOption;
RTL_ENUM(TVTSelectionOption, toDisableDrawSelection, toExtendedFocus, toFullRowSelect, toLevelSelectConstraint,
         toMiddleClickSelect, toMultiSelect, toRightClickSelect, toSiblingSelectConstraint,
         toCenterScrollIntoView, toSimpleDrawSelection);
using TVTSelectionOptions = TSet<TVTSelectionOption>;

enum class TVTMiscOption {
    toAcceptOLEDrop, toCheckSupport, toEditable, toFullRepaintOnResize, toGridExtensions, toInitOnSave,
    toReportMode, toToggleOnDblClick, toWheelPanning, toReadOnly, toVariableNodeHeight, toFullRowDrag,
    toNodeHeightResize, toNodeHeightDblClickResize, toEditOnClick, toEditOnDblClick,
};
using enum TVTMiscOption;
RTL_ENUM(TVTMiscOption, toAcceptOLEDrop, toCheckSupport, toEditable, toFullRepaintOnResize, toGridExtensions,
         toInitOnSave, toReportMode, toToggleOnDblClick, toWheelPanning, toReadOnly, toVariableNodeHeight,
         toFullRowDrag, toNodeHeightResize, toNodeHeightDblClickResize, toEditOnClick, toEditOnDblClick);
using TVTMiscOptions = TSet<TVTMiscOption>;

enum class TVTExportMode { emAll, emChecked, emUnchecked };
using enum TVTExportMode;
RTL_ENUM(TVTExportMode, emAll, emChecked, emUnchecked);

enum class TVTStringOption { toSaveCaptions, toShowStaticText, toAutoAcceptEditChange };
using enum TVTStringOption;
RTL_ENUM(TVTStringOption, toSaveCaptions, toShowStaticText, toAutoAcceptEditChange);
using TVTStringOptions = TSet<TVTStringOption>;

class TCustomViewTreeOptions : public TPersistent {
    RTL_CLASS(TCustomViewTreeOptions, TPersistent);

public:
    static constexpr TVTPaintOptions kDefaultPaintOptions{toShowButtons, toShowDropmark, toShowRoot,
                                                          toShowTreeLines, toThemeAware, toUseBlendedImages};
    static constexpr TVTAutoOptions kDefaultAutoOptions{toAutoDropExpand, toAutoScrollOnExpand,
                                                        toAutoTristateTracking, toAutoDeleteMovedNodes};
    static constexpr TVTMiscOptions kDefaultMiscOptions{toAcceptOLEDrop, toFullRepaintOnResize, toInitOnSave,
                                                        toToggleOnDblClick, toWheelPanning, toEditOnClick};

    explicit TCustomViewTreeOptions(TBaseViewTree* owner) : owner_(owner) {}

    TBaseViewTree* Owner() const noexcept { return owner_; }
    TPersistent* GetOwner() const override;

    TVTPaintOptions PaintOptions() const noexcept { return paintOptions_; }
    void SetPaintOptions(TVTPaintOptions value);
    TVTAnimationOptions AnimationOptions() const noexcept { return animationOptions_; }
    void SetAnimationOptions(TVTAnimationOptions value) { animationOptions_ = value; }
    TVTAutoOptions AutoOptions() const noexcept { return autoOptions_; }
    void SetAutoOptions(TVTAutoOptions value);
    TVTSelectionOptions SelectionOptions() const noexcept { return selectionOptions_; }
    void SetSelectionOptions(TVTSelectionOptions value);
    TVTMiscOptions MiscOptions() const noexcept { return miscOptions_; }
    void SetMiscOptions(TVTMiscOptions value);
    TVTExportMode ExportMode() const noexcept { return exportMode_; }
    void SetExportMode(TVTExportMode value) { exportMode_ = value; }

protected:
    void AssignTo(TPersistent* dest) override;
    // The owner reacts to option changes only once it runs: not loading, window made.
    bool OwnerRunning() const;

private:
    TBaseViewTree* owner_;
    TVTPaintOptions paintOptions_ = kDefaultPaintOptions;
    TVTAnimationOptions animationOptions_;
    TVTAutoOptions autoOptions_ = kDefaultAutoOptions;
    TVTSelectionOptions selectionOptions_;
    TVTMiscOptions miscOptions_ = kDefaultMiscOptions;
    TVTExportMode exportMode_ = emAll;
};

// The options of the base tree as published.
class TViewTreeOptions : public TCustomViewTreeOptions {
    RTL_CLASS(TViewTreeOptions, TCustomViewTreeOptions);

public:
    using TCustomViewTreeOptions::TCustomViewTreeOptions;
};

class TCustomStringTreeOptions : public TCustomViewTreeOptions {
    RTL_CLASS(TCustomStringTreeOptions, TCustomViewTreeOptions);

public:
    static constexpr TVTStringOptions kDefaultStringOptions{toSaveCaptions, toAutoAcceptEditChange};

    using TCustomViewTreeOptions::TCustomViewTreeOptions;
    TVTStringOptions StringOptions() const noexcept { return stringOptions_; }
    void SetStringOptions(TVTStringOptions value);

protected:
    void AssignTo(TPersistent* dest) override;

private:
    TVTStringOptions stringOptions_ = kDefaultStringOptions;
};

// The options class of TViewStringTree.
class TStringTreeOptions : public TCustomStringTreeOptions {
    RTL_CLASS(TStringTreeOptions, TCustomStringTreeOptions);

public:
    using TCustomStringTreeOptions::TCustomStringTreeOptions;
};

// The identifiers of the old single option set, read from old form streams.
enum class TOldVTOption {
    voAcceptOLEDrop, voAnimatedToggle, voAutoDropExpand, voAutoExpand, voAutoScroll, voAutoSort,
    voAutoSpanColumns, voAutoTristateTracking, voCheckSupport, voDisableDrawSelection, voEditable,
    voExtendedFocus, voFullRowSelect, voGridExtensions, voHideFocusRect, voHideSelection, voHotTrack,
    voInitOnSave, voLevelSelectConstraint, voMiddleClickSelect, voMultiSelect, voRightClickSelect,
    voPopupMode, voShowBackground, voShowButtons, voShowDropmark, voShowHorzGridLines, voShowRoot,
    voShowTreeLines, voShowVertGridLines, voSiblingSelectConstraint, voToggleOnDblClick,
};
using enum TOldVTOption;
RTL_ENUM(TOldVTOption, voAcceptOLEDrop, voAnimatedToggle, voAutoDropExpand, voAutoExpand, voAutoScroll,
         voAutoSort, voAutoSpanColumns, voAutoTristateTracking, voCheckSupport, voDisableDrawSelection, voEditable,
         voExtendedFocus, voFullRowSelect, voGridExtensions, voHideFocusRect, voHideSelection, voHotTrack,
         voInitOnSave, voLevelSelectConstraint, voMiddleClickSelect, voMultiSelect, voRightClickSelect,
         voPopupMode, voShowBackground, voShowButtons, voShowDropmark, voShowHorzGridLines, voShowRoot,
         voShowTreeLines, voShowVertGridLines, voSiblingSelectConstraint, voToggleOnDblClick);

// Applies an old option set given by its identifiers: the five groups are
// emptied, then each known "voX" adds "toX" to its group; unknown names are
// ignored.
void ApplyLegacyOptions(TCustomViewTreeOptions& options, const std::vector<String>& identifiers);
