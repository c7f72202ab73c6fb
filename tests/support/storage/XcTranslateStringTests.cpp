#include "support/storage/XcTranslateString.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "FreshTestFolder.h"
#include "StorageTestServices.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/DynamicLibrary.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/VersionBlockWriter.h"
#include "platform/rtl/VersionInfo.h"

namespace {

// The engine finds forms by this class name.
class TCustomForm : public TComponent {
    RTL_CLASS(TCustomForm, TComponent);

public:
    using TComponent::TComponent;
    String Caption;
};

class TTestForm : public TCustomForm {
    RTL_CLASS(TTestForm, TCustomForm);

public:
    using TCustomForm::TCustomForm;
};

class TTestPanel : public TComponent {
    RTL_CLASS(TTestPanel, TComponent);

public:
    using TComponent::TComponent;
    String Caption;
};

RTL_PUBLISHED(TCustomForm, c) { c.Property("Caption", &TCustomForm::Caption, &TCustomForm::Caption); }
RTL_PUBLISHED_NONE(TTestForm);
RTL_PUBLISHED(TTestPanel, c) { c.Property("Caption", &TTestPanel::Caption, &TTestPanel::Caption); }

// A program without version information, on a display of known size.
class TranslateString : public testing::Test {
protected:
    static String MakeProgramFile() {
        const auto folder = FreshTestFolder("macros") / "tools";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "NoBlock.bin") << "no version block here";
        return String((folder / "NoBlock.bin").string());
    }

    String program_ = MakeProgramFile();
    TRecordingAppServices services_;
    TAppServicesScope servicesScope_{services_};
    std::unique_ptr<TProgramFileScope> programScope_ = std::make_unique<TProgramFileScope>(program_);
    TXcTranslateString engine_{nullptr};
};

TEST_F(TranslateString, ExpandsTheMacroTable) {
    const String folder = ExtractFileDir(program_);
    struct {
        const char16_t* Text;
        String Expected;
        bool Changed;
    } cases[] = {
        {u"Software\\%COMPANY_NAME%\\%APPL_NAME%", u"Software\\MyCompany\\MyXCLApplication", true},
        {u"no macro here", u"no macro here", false},
        {u"a%FOO%b", u"aFOOb", false},
        {u"100%", u"100", false},
        {u"%", u"", false},
        {u"%%", u"", false},
        {u"50%%x", u"50x", false},
        {u"% screensize %", u"1920x1080", true},
        {u"%DesktopSize%", u"3840x1080", true},
        {u"[%FileVersion%|%PRODUCTVERSION%]", u"[0.0.0.0|0.0.0.0]", true},
        {u"%EXENAME%", program_, true},
        {u"%FILENAME%", u"NoBlock", true},
        {u"%FULLDIREXE%", folder, true},
        {u"<%FORMNAME%><%FORMCAPTION%>", u"<><>", true},
        {u"%FOO%APPL_NAME%", u"FOOMyXCLApplication", true},
    };
    for (const auto& c : cases) {
        bool changed = !c.Changed;
        EXPECT_EQ(c.Expected, engine_.TranslateString(c.Text, changed)) << String(c.Text);
        EXPECT_EQ(c.Changed, changed) << String(c.Text);
    }
}

TEST_F(TranslateString, OtherDelimitersAndAnEmptyOne) {
    engine_.SetLeftDelimiter(u"[");
    engine_.SetRightDelimiter(u"]");
    EXPECT_EQ(String(u"x1920x1080y"), engine_.TranslateString(u"x[SCREENSIZE]y"));
    // An unhandled command keeps a right delimiter that differs from the left one.
    EXPECT_EQ(String(u"aFOO]b%SCREENSIZE%"), engine_.TranslateString(u"a[FOO]b%SCREENSIZE%"));
    engine_.SetLeftDelimiter(u"");
    bool changed = true;
    EXPECT_EQ(String(u"a[SCREENSIZE]b"), engine_.TranslateString(u"a[SCREENSIZE]b", changed));
    EXPECT_FALSE(changed);
}

TEST_F(TranslateString, DateAndTimeFollowTheirFormats) {
    engine_.SetDateFormat(u"yyyy-mm-dd");
    const String before = FormatDateTime(u"yyyy-mm-dd", Now());
    const String date = engine_.TranslateString(u"%DATE%");
    const String after = FormatDateTime(u"yyyy-mm-dd", Now());
    EXPECT_TRUE(date == before || date == after) << date;
    // The default formats with their underscores.
    EXPECT_EQ(8, engine_.TranslateString(u"%TIME%").Length());
    EXPECT_EQ(19, engine_.TranslateString(u"%DATETIME%").Length());
    EXPECT_EQ(u'_', engine_.TranslateString(u"%DATETIME%")[2]);
}

TEST_F(TranslateString, OnProcessCommandSeesEveryCommandAndMayAnswerIt) {
    std::vector<String> seen;
    engine_.OnProcessCommand = [&](TObject* sender, const String& command, bool& handled, String& value) {
        EXPECT_EQ(sender, &engine_);
        seen.push_back(command);
        if (command == u"FOO") {
            handled = true;
            value = u"bar";
        } else if (command == u"SCREENSIZE") {
            value = u"big";
        } else if (command == u"DESKTOPSIZE") {
            handled = false;
        }
    };
    bool changed = false;
    EXPECT_EQ(String(u"bar big DESKTOPSIZE X"), engine_.TranslateString(u"%foo% %ScreenSize% %DESKTOPSIZE% %X%", changed));
    EXPECT_TRUE(changed);
    // An unhandled command leaves its right delimiter to open the next one:
    // after DESKTOPSIZE and after X the handler sees an empty command.
    EXPECT_EQ((std::vector<String>{u"FOO", u"SCREENSIZE", u"DESKTOPSIZE", u"", u"X", u""}), seen);
}

TEST_F(TranslateString, AMissingVersionBlockIsAnnouncedOncePerEngineAndMacro) {
    for (int i = 0; i < 3; ++i) engine_.TranslateString(u"%APPL_NAME% %COMPANY_NAME% %APPL_NAME%");
    ASSERT_EQ(2u, services_.Boxes.size());
    EXPECT_EQ(String(u"The Default Root Value \"APPL_NAME\" has been replaced with \"MyXCLApplication\".\r\n"
                     u"Please change the value in the FileVersionInfo Project Properties."),
              services_.Boxes[0].Text);
    EXPECT_EQ(String(u"The Default Root Value \"COMPANY_NAME\" has been replaced with \"MyCompany\".\r\n"
                     u"Please change the value in the FileVersionInfo Project Properties."),
              services_.Boxes[1].Text);
    EXPECT_EQ(String(u"Information"), services_.Boxes[0].Caption);
    EXPECT_EQ(0x40u, services_.Boxes[0].Flags); // MB_OK | MB_ICONINFORMATION

    TXcTranslateString other(nullptr);
    other.TranslateString(u"%APPL_NAME%");
    EXPECT_EQ(3u, services_.Boxes.size());
}

TEST_F(TranslateString, ReadsTheVersionTextsOfTheProgram) {
    programScope_.reset();
    EXPECT_EQ(String(u"Software\\" OSTREL_COMPANY_NAME u"\\" OSTREL_PRODUCT_NAME),
              engine_.TranslateString(u"Software\\%COMPANY_NAME%\\%APPL_NAME%"));
    EXPECT_EQ(ProgramFileName(), engine_.TranslateString(u"%EXENAME%"));
    EXPECT_TRUE(services_.Boxes.empty());
}

TEST_F(TranslateString, AProgramWithoutProductNameGoesByItsFileName) {
    RegisterVersionBlock(program_, ProgramVersionBlock({u"2.3.4.5", u"", u"Maker", u"", u"", u""}));
    EXPECT_EQ(String(u"NoBlock|Maker|2.3.4.5"), engine_.TranslateString(u"%APPL_NAME%|%COMPANY_NAME%|%FILEVERSION%"));
    UnregisterVersionBlock(program_);
    EXPECT_TRUE(services_.Boxes.empty());
}

TEST_F(TranslateString, FormMacrosNameTheNearestOwningForm) {
    TTestForm form(nullptr);
    form.SetName(u"ConversionForm");
    form.Caption = u"转换";
    auto* panel = new TTestPanel(&form);
    panel->Caption = u"not a form";
    auto* engine = new TXcTranslateString(panel);
    EXPECT_EQ(String(u"ConversionForm/转换"), engine->TranslateString(u"%FORMNAME%/%FORMCAPTION%"));

    TTestPanel lonePanel(nullptr);
    lonePanel.SetName(u"Lone");
    auto* underPanel = new TXcTranslateString(&lonePanel);
    EXPECT_EQ(String(u"/"), underPanel->TranslateString(u"%FORMNAME%/%FORMCAPTION%"));
}

} // namespace
