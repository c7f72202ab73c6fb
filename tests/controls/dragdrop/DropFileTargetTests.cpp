// The file drop target over a control tree, driven through its IDropTarget
// calls with a data object holding dropped files.

#include <stdexcept>

#include "DragDropFixture.h"
#include "controls/dragdrop/DropTarget.h"
#include "controls/dragdrop/FeedbackFormats.h"
#include "platform/ui/ControlFixture.h"
#include "platform/ui/StartedUiUnits.h"
#include "platform/win/dataxfer/DropRegistry.h"
#include "platform/win/User.h"

namespace {

constexpr DWORD kAllEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

class DropFileTargetTest : public FormTest {
protected:
    void SetUp() override {
        StartDragDropUnits();
        form_ = ShownForm({0, 0, 300, 200});
        panel_ = new TTestPanel(form_);
        panel_->SetBounds(10, 10, 200, 150);
        panel_->SetParent(form_);
        child_ = new TTestPanel(form_);
        child_->SetBounds(20, 20, 50, 50);
        child_->SetParent(panel_);
        target_ = new TDropFileTarget(form_);
        target_->DragTypes = TDragTypes{dtCopy, dtMove, dtLink};
        target_->GetDataOnEnter = true;
        target_->SetTarget(panel_);
        PumpMessages();
        data_ = MakeIntf<TStoredDataObject>();
        data_->SetFiles({u"/tmp/a.mkv"});
    }
    void TearDown() override {
        data_.Reset();
        FormTest::TearDown();
        StopDragDropUnits();
    }

    POINTL ScreenOf(TWinControl* control, int x, int y) {
        POINT p{x, y};
        ClientToScreen(control->Handle(), &p);
        return POINTL{p.x, p.y};
    }

    TStartedUiUnits units_;
    TForm* form_ = nullptr;
    TTestPanel* panel_ = nullptr;
    TTestPanel* child_ = nullptr;
    TDropFileTarget* target_ = nullptr;
    TIntfPtr<TStoredDataObject> data_;
};

} // namespace

TEST_F(DropFileTargetTest, TheKeysChooseAmongTheAllowedEffects) {
    struct Case {
        DWORD keys;
        DWORD allowed;
        DWORD effect;
    } const cases[] = {
        {MK_LBUTTON, kAllEffects, DROPEFFECT_MOVE},
        {MK_LBUTTON | MK_CONTROL, kAllEffects, DROPEFFECT_COPY},
        {MK_LBUTTON | MK_CONTROL | MK_SHIFT, kAllEffects, DROPEFFECT_LINK},
        {MK_LBUTTON | MK_SHIFT, kAllEffects, DROPEFFECT_MOVE},
        {MK_LBUTTON, DROPEFFECT_COPY | DROPEFFECT_LINK, DROPEFFECT_COPY},
        {MK_LBUTTON | MK_CONTROL, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
        {MK_LBUTTON, DROPEFFECT_LINK, DROPEFFECT_LINK},
    };
    target_->OptimizedMove = false;
    for (const Case& c : cases) {
        DWORD dropped = 0xFF;
        target_->OnDrop = [&](TObject*, TShiftState, TPoint, DWORD& effect) { dropped = effect; };
        const POINTL at = ScreenOf(panel_, 100, 75);
        DWORD effect = c.allowed;
        ASSERT_EQ(target_->DragEnter(data_.get(), c.keys, at, effect), S_OK);
        EXPECT_EQ(effect, c.effect) << c.keys << " " << c.allowed;
        effect = c.allowed;
        ASSERT_EQ(target_->Drop(data_.get(), c.keys, at, effect), S_OK);
        EXPECT_EQ(dropped, c.effect) << c.keys << " " << c.allowed;
    }
}

TEST_F(DropFileTargetTest, ACopyOnlyTargetRefusesAMoveOnlySource) {
    target_->DragTypes = TDragTypes{dtCopy};
    int entered = 0, draggedOver = 0;
    DWORD enterEffect = 0xFF;
    target_->OnEnter = [&](TObject*, TShiftState, TPoint, DWORD& effect) {
        ++entered;
        enterEffect = effect;
    };
    target_->OnDragOver = [&](TObject*, TShiftState, TPoint, DWORD&) { ++draggedOver; };
    const POINTL at = ScreenOf(panel_, 100, 75);
    DWORD effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target_->DragEnter(data_.get(), MK_LBUTTON, at, effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(enterEffect, DROPEFFECT_NONE);
    EXPECT_EQ(target_->DataObject(), nullptr);
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target_->DragOver(MK_LBUTTON, at, effect), DV_E_CLIPFORMAT);
    EXPECT_EQ(draggedOver, 0);
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target_->Drop(data_.get(), MK_LBUTTON, at, effect), E_UNEXPECTED);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
}

TEST_F(DropFileTargetTest, AnEffectHandlerGetsTheAllowedSetAndDecides) {
    DWORD offered = 0;
    target_->OnGetDropEffect = [&](TObject*, TShiftState, TPoint, DWORD& effect) {
        offered = effect;
        effect = DROPEFFECT_LINK;
    };
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target_->DragEnter(data_.get(), MK_LBUTTON, ScreenOf(panel_, 100, 75), effect);
    EXPECT_EQ(offered, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    EXPECT_EQ(effect, DROPEFFECT_LINK);
    target_->DragLeave();
}

TEST_F(DropFileTargetTest, TheDropEffectIsChosenAnewAtTheDrop) {
    target_->OptimizedMove = false;
    DWORD dropped = 0;
    target_->OnDragOver = [](TObject*, TShiftState, TPoint, DWORD& effect) { effect = DROPEFFECT_LINK; };
    target_->OnDrop = [&](TObject*, TShiftState, TPoint, DWORD& effect) { dropped = effect; };
    const POINTL at = ScreenOf(panel_, 100, 75);
    DWORD effect = kAllEffects;
    target_->DragEnter(data_.get(), MK_LBUTTON, at, effect);
    effect = kAllEffects;
    target_->DragOver(MK_LBUTTON, at, effect);
    EXPECT_EQ(effect, DROPEFFECT_LINK);
    effect = kAllEffects;
    target_->Drop(data_.get(), MK_LBUTTON, at, effect);
    EXPECT_EQ(dropped, DROPEFFECT_MOVE);
}

TEST_F(DropFileTargetTest, FilesHoldTheNamesFromEnterUntilTheDropHandlerReturns) {
    std::vector<String> atDrop;
    target_->OnDrop = [&](TObject*, TShiftState, TPoint, DWORD&) { atDrop = StringsOf(target_->Files()); };
    const POINTL at = ScreenOf(panel_, 100, 75);
    DWORD effect = kAllEffects;
    target_->DragEnter(data_.get(), MK_LBUTTON, at, effect);
    EXPECT_EQ(StringsOf(target_->Files()), (std::vector<String>{u"/tmp/a.mkv"}));
    target_->DragLeave();
    EXPECT_EQ(target_->Files().Count(), 0);

    effect = kAllEffects;
    target_->DragEnter(data_.get(), MK_LBUTTON, at, effect);
    effect = kAllEffects;
    target_->Drop(data_.get(), MK_LBUTTON, at, effect);
    EXPECT_EQ(atDrop, (std::vector<String>{u"/tmp/a.mkv"}));
    EXPECT_EQ(target_->Files().Count(), 0);
}

TEST_F(DropFileTargetTest, AnOptimizedMoveIsReportedAsACopyWhenTheSourceTakesIt) {
    const CLIPFORMAT performed = TPerformedDropEffectClipboardFormat::ClassClipboardFormat();
    for (const bool accepts : {true, false}) {
        data_ = MakeIntf<TStoredDataObject>();
        data_->SetFiles({u"/tmp/a.mkv"});
        if (accepts) data_->AcceptSetData(performed);
        const POINTL at = ScreenOf(panel_, 100, 75);
        DWORD effect = kAllEffects;
        target_->DragEnter(data_.get(), MK_LBUTTON, at, effect);
        effect = kAllEffects;
        ASSERT_EQ(target_->Drop(data_.get(), MK_LBUTTON, at, effect), S_OK);
        EXPECT_EQ(effect, accepts ? DROPEFFECT_COPY : DROPEFFECT_MOVE) << accepts;
        if (accepts) {
            EXPECT_EQ(data_->Bytes(performed), (TBytes{1, 0, 0, 0}));
        }
    }
}

TEST_F(DropFileTargetTest, AHandlerThatRaisesGivesUnexpectedAndLetsTheDataGo) {
    target_->OnEnter = [](TObject*, TShiftState, TPoint, DWORD&) { throw std::runtime_error("handler"); };
    DWORD effect = kAllEffects;
    EXPECT_EQ(target_->DragEnter(data_.get(), MK_LBUTTON, ScreenOf(panel_, 100, 75), effect), E_UNEXPECTED);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(target_->DataObject(), nullptr);
    EXPECT_EQ(data_->RefCount(), 1);
}

TEST_F(DropFileTargetTest, AnUnregisteredChildMakesItsRegisteredAncestorTheTarget) {
    DWORD effect = kAllEffects;
    target_->DragEnter(data_.get(), MK_LBUTTON, ScreenOf(child_, 5, 5), effect);
    EXPECT_EQ(target_->Target(), panel_);
    target_->DragLeave();
    EXPECT_EQ(FindDropTarget(child_->Handle()).get(), static_cast<IDropTarget*>(target_));
}

TEST_F(DropFileTargetTest, RegistrationFollowsTheTargetsWindowAndItsReplacement) {
    panel_->RecreateWnd();
    PumpMessages();
    EXPECT_EQ(FindDropTarget(panel_->Handle()).get(), static_cast<IDropTarget*>(target_));
    target_->SetTarget(child_);
    EXPECT_EQ(target_->Targets(), (std::vector<TWinControl*>{child_}));
    HWND registered = nullptr;
    FindDropTarget(panel_->Handle(), &registered);
    EXPECT_EQ(registered, nullptr);
}

TEST_F(DropFileTargetTest, TheAcceptFormatHandlerCanRefuseADataFormat) {
    for (const bool accept : {true, false}) {
        int asked = 0;
        target_->OnAcceptFormat = [&](TObject*, TCustomDataFormat&, bool& accepted) {
            ++asked;
            accepted = accept;
        };
        DWORD effect = kAllEffects;
        target_->DragEnter(data_.get(), MK_LBUTTON, ScreenOf(panel_, 100, 75), effect);
        EXPECT_GT(asked, 0) << accept;
        EXPECT_EQ(effect != DROPEFFECT_NONE, accept) << accept;
        EXPECT_EQ(target_->Files().Count(), accept ? 1 : 0) << accept;
        target_->DragLeave();
    }
}

TEST_F(DropFileTargetTest, APasteWithNothingPasteableFailsAndChangesNothing) {
    ASSERT_EQ(OleSetClipboard(nullptr), S_OK);
    DWORD dropped = 0xFF;
    target_->OnDrop = [&](TObject*, TShiftState, TPoint, DWORD& effect) { dropped = effect; };
    EXPECT_FALSE(target_->CanPasteFromClipboard());
    EXPECT_EQ(target_->PasteFromClipboard(), DROPEFFECT_NONE);
    EXPECT_EQ(dropped, DROPEFFECT_NONE);
    EXPECT_EQ(target_->Files().Count(), 0);
    EXPECT_EQ(target_->DataObject(), nullptr);
}

TEST_F(DropFileTargetTest, ATargetControlFreedDuringADragEndsItAndLeavesNoRegistration) {
    int drops = 0;
    target_->OnDrop = [&](TObject*, TShiftState, TPoint, DWORD&) { ++drops; };
    const POINTL at = ScreenOf(panel_, 100, 75);
    const HWND window = panel_->Handle();
    DWORD effect = kAllEffects;
    ASSERT_EQ(target_->DragEnter(data_.get(), MK_LBUTTON, at, effect), S_OK);
    delete panel_; // and its child with it
    EXPECT_FALSE(FindDropTarget(window));
    EXPECT_EQ(target_->Files().Count(), 0);
    effect = kAllEffects;
    EXPECT_EQ(target_->DragOver(MK_LBUTTON, at, effect), E_UNEXPECTED);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    effect = kAllEffects;
    EXPECT_EQ(target_->Drop(data_.get(), MK_LBUTTON, at, effect), E_UNEXPECTED);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(drops, 0);
    delete target_;
}
