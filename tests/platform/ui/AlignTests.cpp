#include "ControlFixture.h"

#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"

namespace {

// The main window's layout: a list on the left, and on the right a client
// panel split into a top part and the rest.
struct TMainLayout {
    TForm* form;
    TTestPanel* left;
    TTestPanel* client;
    TTestPanel* top;
    TTestPanel* rest;
};

TMainLayout BuildMainLayout() {
    TMainLayout l;
    l.form = Application().CreateForm<TForm>();
    l.form->BeginLoading();
    l.form->SetBounds(10, 10, 925, 530);
    l.left = new TTestPanel(l.form);
    l.left->SetWidth(209);
    l.left->SetAlign(alLeft);
    l.left->SetParent(l.form);
    l.client = new TTestPanel(l.form);
    l.client->SetAlign(alClient);
    l.client->SetParent(l.form);
    l.top = new TTestPanel(l.form);
    l.top->SetHeight(353);
    l.top->SetAlign(alTop);
    l.top->SetParent(l.client);
    l.rest = new TTestPanel(l.form);
    l.rest->SetAlign(alClient);
    l.rest->SetParent(l.client);
    l.form->EndLoading();
    return l;
}

void ExpectMainLayout(const TMainLayout& l, int width, int height) {
    EXPECT_EQ(l.form->ClientRect(), (TRect{0, 0, width, height}));
    EXPECT_EQ(l.left->BoundsRect(), (TRect{0, 0, 209, height}));
    EXPECT_EQ(l.client->BoundsRect(), (TRect{209, 0, width, height}));
    EXPECT_EQ(l.top->BoundsRect(), (TRect{0, 0, width - 209, 353}));
    EXPECT_EQ(l.rest->BoundsRect(), (TRect{0, 353, width - 209, height}));
}

TEST_F(FormTest, TheMainLayoutFollowsTheFormFromCreationThroughAUserResize) {
    const TMainLayout l = BuildMainLayout();
    {
        SCOPED_TRACE("built, no window yet");
        EXPECT_FALSE(l.form->HandleAllocated());
        ExpectMainLayout(l, 925, 530);
    }
    l.form->Show();
    PumpMessages();
    {
        SCOPED_TRACE("shown");
        ExpectMainLayout(l, 925, 530);
        RECT r;
        GetClientRect(l.top->Handle(), &r);
        EXPECT_EQ(r.right, 716);
    }
    DesktopResizeWindow(l.form->Handle(), {1200, 700});
    PumpMessages();
    {
        SCOPED_TRACE("resized by the user");
        ExpectMainLayout(l, 1200, 700);
        RECT r;
        GetWindowRect(l.rest->Handle(), &r);
        EXPECT_EQ(r.right - r.left, 991);
        EXPECT_EQ(r.bottom - r.top, 347);
    }
    l.form->SetBounds(l.form->Left(), l.form->Top(), 925, 530);
    PumpMessages();
    {
        SCOPED_TRACE("resized by code");
        ExpectMainLayout(l, 925, 530);
    }
}

TEST_F(FormTest, AlignedChildrenKeepTheOrderOfTheirPositions) {
    TForm* form = ShownForm({0, 0, 400, 300});
    form->DisableAlign();
    // Made in the opposite order of where they stand.
    auto* second = new TTestPanel(form);
    second->SetBounds(0, 100, 50, 30);
    second->SetAlign(alTop);
    second->SetParent(form);
    auto* first = new TTestPanel(form);
    first->SetBounds(0, 20, 50, 40);
    first->SetAlign(alTop);
    first->SetParent(form);
    auto* right1 = new TTestGraphic(form);
    right1->SetBounds(300, 0, 20, 10);
    right1->SetAlign(alRight);
    right1->SetParent(form);
    auto* right2 = new TTestGraphic(form);
    right2->SetBounds(350, 0, 30, 10);
    right2->SetAlign(alRight);
    right2->SetParent(form);
    form->EnableAlign();
    EXPECT_EQ(first->BoundsRect(), (TRect{0, 0, 400, 40}));
    EXPECT_EQ(second->BoundsRect(), (TRect{0, 40, 400, 70}));
    // The rightmost stays at the edge.
    EXPECT_EQ(right2->BoundsRect(), (TRect{370, 70, 400, 300}));
    EXPECT_EQ(right1->BoundsRect(), (TRect{350, 70, 370, 300}));

    // Moving one to the other's place puts it first.
    second->SetTop(0);
    EXPECT_EQ(second->BoundsRect(), (TRect{0, 0, 400, 30}));
    EXPECT_EQ(first->BoundsRect(), (TRect{0, 30, 400, 70}));
}

TEST_F(FormTest, RightAndBottomAnchorsKeepTheirDistances) {
    TForm* form = ShownForm({0, 0, 400, 300});
    auto* corner = new TTestGraphic(form);
    corner->SetParent(form);
    corner->SetBounds(330, 260, 60, 30);
    corner->SetAnchors({akRight, akBottom});
    auto* stretched = new TTestPanel(form);
    stretched->SetParent(form);
    stretched->SetBounds(10, 10, 380, 100);
    stretched->SetAnchors({akLeft, akTop, akRight, akBottom});
    auto* fixed = new TTestPanel(form);
    fixed->SetParent(form);
    fixed->SetBounds(20, 200, 50, 20);

    for (SIZE size : {SIZE{600, 500}, SIZE{350, 280}, SIZE{400, 300}}) {
        SCOPED_TRACE(size.cx);
        DesktopResizeWindow(form->Handle(), size);
        PumpMessages();
        EXPECT_EQ(corner->BoundsRect(), (TRect{int(size.cx) - 70, int(size.cy) - 40, int(size.cx) - 10, int(size.cy) - 10}));
        EXPECT_EQ(stretched->BoundsRect(), (TRect{10, 10, int(size.cx) - 10, int(size.cy) - 190}));
        EXPECT_EQ(fixed->BoundsRect(), (TRect{20, 200, 70, 220}));
    }
}

TEST_F(FormTest, ConstraintsStopAResize) {
    TForm* form = ShownForm({0, 0, 400, 300});
    form->Constraints()->SetMinWidth(300);
    form->Constraints()->SetMaxHeight(350);
    auto* left = new TTestPanel(form);
    left->SetParent(form);
    left->SetAlign(alLeft);
    left->SetWidth(100);
    left->Constraints()->SetMaxWidth(80);
    EXPECT_EQ(left->BoundsRect(), (TRect{0, 0, 80, 300}));
    auto* rest = new TTestPanel(form);
    rest->SetParent(form);
    rest->SetAlign(alClient);
    EXPECT_EQ(rest->BoundsRect(), (TRect{80, 0, 400, 300}));

    // By code and by the user alike.
    form->SetBounds(0, 0, 200, 500);
    PumpMessages();
    EXPECT_EQ(form->Width(), 300);
    EXPECT_EQ(form->Height(), 350);
    DesktopResizeWindow(form->Handle(), {100, 600});
    PumpMessages();
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 350);
    EXPECT_EQ(rest->BoundsRect(), (TRect{80, 0, 300, 350}));

    int calls = 0;
    left->OnConstrainedResize = [&](TObject*, int&, int&, int& maxWidth, int&) {
        ++calls;
        maxWidth = 50;
    };
    left->SetWidth(120);
    EXPECT_GT(calls, 0);
    EXPECT_EQ(left->Width(), 50);
}

TEST_F(FormTest, AutoSizeFollowsTheContent) {
    TForm* form = ShownForm({0, 0, 400, 300});
    auto* box = new TTestPanel(form);
    box->SetParent(form);
    box->SetBounds(10, 10, 200, 200);
    auto* a = new TTestGraphic(form);
    a->SetParent(box);
    a->SetBounds(5, 5, 40, 20);
    auto* b = new TTestPanel(form);
    b->SetParent(box);
    b->SetBounds(30, 40, 50, 10);
    box->SetAutoSize(true);
    EXPECT_EQ(box->BoundsRect(), (TRect{10, 10, 90, 60}));

    b->SetWidth(100);
    EXPECT_EQ(box->BoundsRect(), (TRect{10, 10, 140, 60}));
    a->SetTop(100);
    EXPECT_EQ(box->BoundsRect(), (TRect{10, 10, 140, 130}));
    a->Hide();
    EXPECT_EQ(box->BoundsRect(), (TRect{10, 10, 140, 60}));

    // Aligned to the top, it keeps the parent's width and sizes its height only.
    box->SetAlign(alTop);
    EXPECT_EQ(box->BoundsRect(), (TRect{0, 0, 400, 50}));
}

TEST_F(FormTest, DisabledAlignmentWaitsForEnableAlign) {
    TForm* form = ShownForm({0, 0, 400, 300});
    auto* top = new TTestPanel(form);
    top->SetParent(form);
    top->SetAlign(alTop);
    auto* rest = new TTestPanel(form);
    rest->SetParent(form);
    rest->SetAlign(alClient);

    form->DisableAlign();
    form->DisableAlign();
    top->SetHeight(100);
    EXPECT_EQ(rest->BoundsRect(), (TRect{0, 50, 400, 300}));
    EXPECT_TRUE(form->ControlState().Contains(csAlignmentNeeded));
    form->EnableAlign();
    EXPECT_EQ(rest->BoundsRect(), (TRect{0, 50, 400, 300}));
    form->EnableAlign();
    EXPECT_EQ(rest->BoundsRect(), (TRect{0, 100, 400, 300}));
    EXPECT_FALSE(form->ControlState().Contains(csAlignmentNeeded));

    // Hiding an aligned control gives its strip back.
    top->Hide();
    EXPECT_EQ(rest->BoundsRect(), (TRect{0, 0, 400, 300}));
}

} // namespace
