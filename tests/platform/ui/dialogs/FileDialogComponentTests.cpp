#include "../StartedUiUnits.h"
#include "FileDialogFixture.h"
#include "platform/rtl/Properties.h"
#include "platform/ui/graphics/Graphic.h"
#include "platform/ui/graphics/PictureFormats.h"

namespace {

// A desktop chooser that answers as told and keeps the request.
class TFileDialogChooserFake final : public IFileChooser {
public:
    TFileChooserAnswer Choose(const TFileChooserRequest& request) override {
        requests.push_back(request);
        return answer;
    }
    std::vector<TFileChooserRequest> requests;
    TFileChooserAnswer answer;
};

class FileDialogChooser : public FileDialogTest {
protected:
    void SetUp() override {
        FileDialogTest::SetUp();
        SetFileDialogMode(TFileDialogMode::fdDesktopThenOwn);
        previous_ = SetFileChooser(&chooser);
    }
    void TearDown() override {
        SetFileChooser(previous_);
        FileDialogTest::TearDown();
    }
    TFileDialogChooserFake chooser;

private:
    IFileChooser* previous_ = nullptr;
};

TEST_F(FileDialogChooser, TheRequestCarriesTheDialogsSettings) {
    TOpenDialog* dialog = Dialog({ofAllowMultiSelect});
    dialog->SetTitle(u"Select Video/Audio Files...");
    dialog->SetFilterIndex(2);
    chooser.answer.outcome = TFileChooserOutcome::Cancelled;
    EXPECT_FALSE(dialog->Execute());
    TSaveDialog* save = Dialog<TSaveDialog>();
    save->SetInitialDir(u"");
    save->SetFileName(In(u"a.mp4"));
    EXPECT_FALSE(save->Execute());

    ASSERT_EQ(chooser.requests.size(), 2u);
    const TFileChooserRequest& open = chooser.requests[0];
    EXPECT_FALSE(open.save);
    EXPECT_EQ(open.title, u"Select Video/Audio Files...");
    EXPECT_TRUE(open.multiple);
    ASSERT_EQ(open.filters.size(), 2u);
    EXPECT_EQ(open.filters[0].name, u"Video files");
    EXPECT_EQ(open.filters[0].patterns, (std::vector<String>{u"*.mp4", u"*.mkv"}));
    EXPECT_EQ(open.currentFilter, 1);
    EXPECT_EQ(open.currentFolder, folder);
    EXPECT_EQ(open.owner, main->Handle());
    const TFileChooserRequest& saving = chooser.requests[1];
    EXPECT_TRUE(saving.save);
    EXPECT_FALSE(saving.multiple);
    EXPECT_EQ(saving.currentFolder, folder);
    EXPECT_EQ(saving.currentName, u"a.mp4");
    EXPECT_EQ(saving.currentFile, In(u"a.mp4"));
}

TEST_F(FileDialogChooser, ChosenFilesFillFilesAndACancelKeepsTheFileName) {
    TOpenDialog* dialog = Dialog({ofAllowMultiSelect});
    std::string events;
    dialog->OnShow = [&](TObject*) { events += "show "; };
    dialog->OnClose = [&](TObject*) { events += "close "; };
    dialog->SetFileName(u"/before.mp4");
    chooser.answer = {TFileChooserOutcome::Cancelled, {}, -1};
    EXPECT_FALSE(dialog->Execute());
    EXPECT_EQ(dialog->FileName(), u"/before.mp4");

    chooser.answer = {TFileChooserOutcome::Chosen, {u"/tmp/视频/a.mp4", u"/tmp/b.mkv"}, 1};
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->FileName(), u"/tmp/视频/a.mp4");
    ASSERT_EQ(dialog->Files()->Count(), 2);
    EXPECT_EQ(dialog->Files()->Strings(1), u"/tmp/b.mkv");
    EXPECT_EQ(dialog->FilterIndex(), 2);

    chooser.answer = {TFileChooserOutcome::Chosen, {}, 0};
    EXPECT_FALSE(dialog->Execute()) << "nothing usable chosen";
    EXPECT_EQ(dialog->FileName(), u"/tmp/视频/a.mp4");
    EXPECT_EQ(events, "show close show close show close ");
}

TEST_F(FileDialogChooser, ASavedNameGetsTheDefaultExtensionAndReplacingItIsAsked) {
    TSaveDialog* dialog = Dialog<TSaveDialog>({ofOverwritePrompt});
    dialog->SetDefaultExt(u"mp4");
    chooser.answer = {TFileChooserOutcome::Chosen, {In(u"out")}, -1};
    EXPECT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->FileName(), In(u"out.mp4"));
    EXPECT_EQ(dialog->FilterIndex(), 1) << "the filter asked for, when the chooser does not tell";

    // "a" becomes the existing a.mp4, which the desktop's dialog did not confirm.
    chooser.answer = {TFileChooserOutcome::Chosen, {In(u"a")}, -1};
    const struct {
        UINT key;
        const char16_t* text;
        bool accepted;
    } answers[] = {{'N', u"n", false}, {VK_RETURN, u"", true}};
    for (const auto& answer : answers) {
        TIdleSteps steps({[&] {
            EXPECT_TRUE(MessageBoxShown());
            DesktopPress(answer.key, answer.text);
        }});
        EXPECT_EQ(dialog->Execute(), answer.accepted);
    }
    EXPECT_EQ(dialog->FileName(), In(u"a.mp4"));
}

TEST_F(FileDialogChooser, WithoutTheDesktopsChooserOurDialogOpens) {
    const struct {
        const char* name;
        TFileDialogMode mode;
        TFileChooserOutcome outcome;
        size_t asked;
    } cases[] = {
        {"the chooser is not available", TFileDialogMode::fdDesktopThenOwn, TFileChooserOutcome::Unavailable, 1},
        {"our dialog only", TFileDialogMode::fdOwnOnly, TFileChooserOutcome::Chosen, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        chooser.requests.clear();
        chooser.answer = {c.outcome, {u"/elsewhere.mp4"}, 0};
        SetFileDialogMode(c.mode);
        TOpenDialog* dialog = Dialog();
        TIdleSteps steps({[&] {
            EXPECT_EQ(Listed(), (std::vector<String>{u"sub", u"a.mp4", u"B.MKV"}));
            TypeName(u"B.MKV");
            DesktopPress(VK_RETURN);
        }});
        EXPECT_TRUE(dialog->Execute());
        EXPECT_EQ(dialog->FileName(), In(u"B.MKV"));
        EXPECT_EQ(chooser.requests.size(), c.asked);
    }
}

TEST(FileDialogUnit, TheDialogsUnitRegistersTheClassesAndThePictureDialogsFilterPictures) {
    TStartedUiUnits units;
    TComponent owner(nullptr);
    for (const char* name : {"TOpenDialog", "TSaveDialog", "TOpenPictureDialog", "TSavePictureDialog"}) {
        SCOPED_TRACE(name);
        TComponent* dialog = FindClass(name)->CreateComponent(&owner);
        ASSERT_TRUE(dynamic_cast<TOpenDialog*>(dialog));
        for (const char* property : {"FilterIndex", "Options", "FileEditStyle", "HelpContext"})
            EXPECT_TRUE(IsDefaultOrdValue(dialog, property)) << property;
    }
    auto* picture = static_cast<TOpenDialog*>(FindClass("TOpenPictureDialog")->CreateComponent(&owner));
    EXPECT_EQ(picture->Filter(), GraphicFilter(TGraphic::StaticClass()));
    EXPECT_NE(picture->Filter().find(u"*.bmp"), String::npos);
}

TEST(FileDialogUnit, TheErrorModeIsKeptAndGivenBack) {
    const uint32_t before = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(GetErrorMode(), SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(SetErrorMode(before), SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

} // namespace
