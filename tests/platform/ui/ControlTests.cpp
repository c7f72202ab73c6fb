#include "ControlFixture.h"

#include "platform/win/User.h"

namespace {

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
