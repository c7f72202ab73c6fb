#include "ControlFixture.h"

#include "platform/win/User.h"

namespace {

TEST_F(FormTest, AlignedChildrenFollowTheirParentsClientArea) {
    TForm* form = ShownForm({0, 0, 925, 530});
    form->SetClientWidth(925);
    form->SetClientHeight(530);
    auto* left = new TTestPanel(form);
    left->SetWidth(209);
    left->SetAlign(alLeft);
    left->SetParent(form);
    auto* client = new TTestPanel(form);
    client->SetAlign(alClient);
    client->SetParent(form);
    auto* top = new TTestPanel(form);
    top->SetHeight(353);
    top->SetAlign(alTop);
    top->SetParent(client);
    auto* rest = new TTestPanel(form);
    rest->SetAlign(alClient);
    rest->SetParent(client);

    EXPECT_EQ(form->ClientRect(), (TRect{0, 0, 925, 530}));
    EXPECT_EQ(left->BoundsRect(), (TRect{0, 0, 209, 530}));
    EXPECT_EQ(client->BoundsRect(), (TRect{209, 0, 925, 530}));
    EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 716, 353}));
    EXPECT_EQ(rest->BoundsRect(), (TRect{0, 353, 716, 530}));

    form->SetClientWidth(1200);
    form->SetClientHeight(700);
    PumpMessages();
    EXPECT_EQ(left->BoundsRect(), (TRect{0, 0, 209, 700}));
    EXPECT_EQ(client->BoundsRect(), (TRect{209, 0, 1200, 700}));
    EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 991, 353}));
    EXPECT_EQ(rest->BoundsRect(), (TRect{0, 353, 991, 700}));
}

TEST_F(FormTest, ParentFontReachesChildrenThatFollowIt) {
    TForm* form = ShownForm({0, 0, 300, 200});
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    auto* follower = new TTestPanel(form);
    follower->SetParent(panel);
    auto* own = new TTestPanel(form);
    own->SetParent(panel);
    own->Font()->SetSize(20);
    follower->log.watched = own->log.watched = {CM_PARENTFONTCHANGED, WM_SETFONT};

    panel->Font()->SetSize(14);
    EXPECT_EQ(follower->Font()->Size(), 14);
    EXPECT_TRUE(follower->ParentFont());
    EXPECT_EQ(own->Font()->Size(), 20);
    EXPECT_FALSE(own->ParentFont());
    EXPECT_EQ(follower->log.Messages(), (std::vector<UINT>{CM_PARENTFONTCHANGED, WM_SETFONT}));
    EXPECT_EQ(own->log.Messages(), (std::vector<UINT>{CM_PARENTFONTCHANGED}));
}

TEST_F(FormTest, AChildWindowsCommandReachesItsControlReflected) {
    TForm* form = ShownForm({0, 0, 300, 200});
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    panel->log.watched = {CN_COMMAND};
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(7, 1), LPARAM(panel->Handle()));
    EXPECT_EQ(panel->log.Messages(), (std::vector<UINT>{CN_COMMAND}));
}

} // namespace
