#include "ControlFixture.h"

#include "platform/win/User.h"

namespace {

TEST_F(FormTest, AChildWindowsCommandReachesItsControlReflected) {
    TForm* form = ShownForm({0, 0, 300, 200});
    auto* panel = new TTestPanel(form);
    panel->SetParent(form);
    panel->log.watched = {CN_COMMAND};
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(7, 1), LPARAM(panel->Handle()));
    EXPECT_EQ(panel->log.Messages(), (std::vector<UINT>{CN_COMMAND}));
}

} // namespace
