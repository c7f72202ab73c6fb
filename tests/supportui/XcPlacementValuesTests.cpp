// The placement values of a form and the rules for applying them.

#include "supportui/XcPlacementValues.h"

#include <gtest/gtest.h>

#include "PlacementFixture.h"

namespace {

class PlacementValuesTest : public PlacementTest {
protected:
    TForm* ShownAt(TRect bounds) {
        TForm* form = Application().CreateForm<TForm>();
        form->SetBoundsRect(bounds);
        form->Show();
        PumpMessages();
        return form;
    }
};

TEST_F(PlacementValuesTest, SavingWritesBothNamesOfEachRectangleAlike) {
    TForm* form = ShownAt({100, 80, 900, 680});
    form->SetWindowState(wsMaximized);
    SaveFormPlacement(*form, *storage_, u"P", {fpState, fpSize, fpLocation});
    EXPECT_EQ(storage_->ReadInteger(u"P\\ShowCmd", 0), SW_SHOWMAXIMIZED);
    EXPECT_EQ(storage_->ReadString(u"P\\NormPos(1920x1080)", String()), String(u"100,80,900,680"));
    EXPECT_EQ(storage_->ReadString(u"P\\NormPos", String()), String(u"100,80,900,680"));
    EXPECT_EQ(storage_->ReadString(u"P\\MinMaxPos(1920x1080)", String()), storage_->ReadString(u"P\\MinMaxPos", String()));

    written_.clear();
    SaveFormPlacement(*form, *storage_, u"P", {fpActiveControl});
    SaveFormPlacement(*form, *storage_, u"P", {fpState});
    EXPECT_EQ(written_, (std::vector<std::string>{"ShowCmd"}));
}

TEST_F(PlacementValuesTest, RestoringAppliesOnlyWhatTheOptionsAndStoredValuesAllow) {
    struct TValue {
        const char16_t* name;
        const char16_t* text; // null: the integer
        int number = 0;
    };
    struct TCase {
        const char* what;
        std::vector<TValue> stored;
        TPlacementOptions options;
        TRect expected;
    };
    const TCase cases[] = {
        {"size and place", {{u"NormPos", u"100,80,900,680"}}, {fpSize, fpLocation}, {100, 80, 900, 680}},
        {"the suffixed value first", {{u"NormPos(1920x1080)", u"50,60,450,360"}, {u"NormPos", u"100,80,900,680"}},
         {fpSize, fpLocation}, {50, 60, 450, 360}},
        {"only another screen's value", {{u"NormPos(1280x1024)", u"100,80,900,680"}}, {fpSize, fpLocation},
         {10, 20, 410, 320}},
        {"the size alone keeps the place", {{u"NormPos", u"100,80,900,680"}}, {fpSize}, {10, 20, 810, 620}},
        {"the place alone keeps the size", {{u"NormPos", u"100,80,900,680"}}, {fpLocation}, {100, 80, 500, 380}},
        {"right not above left", {{u"NormPos", u"500,80,500,680"}}, {fpSize, fpLocation}, {10, 20, 410, 320}},
        {"bottom not below top", {{u"NormPos", u"100,680,900,80"}}, {fpSize, fpLocation}, {10, 20, 410, 320}},
        {"another resolution", {{u"NormPos", u"100,80,900,680"}, {u"PixelsPerInch", nullptr, 120}},
         {fpSize, fpLocation}, {10, 20, 410, 320}},
        // An unreadable right is the form's width, counted from the left.
        {"unreadable words take the form's", {{u"NormPos", u"x,80,y,680"}}, {fpSize, fpLocation}, {10, 80, 400, 680}},
        {"a screen that is gone", {{u"NormPos", u"2500,100,3300,700"}}, {fpSize, fpLocation}, {1120, 100, 1920, 700}},
        {"only the active control", {{u"NormPos", u"100,80,900,680"}}, {fpActiveControl}, {10, 20, 410, 320}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        storage_->DeleteSubTree(u"P");
        for (const TValue& v : c.stored) {
            if (v.text)
                storage_->WriteString(String(u"P\\") + v.name, v.text);
            else
                storage_->WriteInteger(String(u"P\\") + v.name, v.number);
        }
        TForm* form = ShownAt({10, 20, 410, 320});
        RestoreFormPlacement(*form, *storage_, u"P", c.options);
        EXPECT_EQ(WindowRect(*form), c.expected);
        delete form;
    }
}

TEST_F(PlacementValuesTest, TheStoredShowCommandSelectsTheState) {
    const struct {
        int showCmd;
        TWindowState state;
    } cases[] = {{SW_SHOWNORMAL, wsNormal}, {SW_RESTORE, wsNormal}, {SW_SHOWMAXIMIZED, wsMaximized},
                 {SW_SHOWMINIMIZED, wsMinimized}, {SW_SHOWMINNOACTIVE, wsMinimized}, {0, wsNormal}, {12, wsNormal}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.showCmd);
        storage_->WriteInteger(u"P\\ShowCmd", c.showCmd);
        TForm* form = ShownAt({10, 20, 410, 320});
        RestoreFormPlacement(*form, *storage_, u"P", {fpState});
        EXPECT_EQ(form->WindowState(), c.state);
        delete form;
    }
}

} // namespace
