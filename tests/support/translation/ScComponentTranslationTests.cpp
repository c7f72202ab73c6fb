#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/rtl/AppServices.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/StringList.h"
#include "support/translation/MoWriter.h"
#include "support/translation/ScTranslationErrors.h"
#include "support/translation/ScTranslatorInstance.h"

namespace fs = std::filesystem;

namespace {

class TTrItem : public TCollectionItem {
    RTL_CLASS(TTrItem, TCollectionItem);

public:
    explicit TTrItem(TCollection* collection) : TCollectionItem(collection) {}
    String title;
};

class TTrControl : public TComponent {
    RTL_CLASS(TTrControl, TComponent);

public:
    explicit TTrControl(TComponent* owner) : TComponent(owner) {}
    String caption;
    std::string hint;
    String hidden;
    std::unique_ptr<TStringList> lines = std::make_unique<TStringList>();
    std::unique_ptr<TOwnedCollection> items = std::make_unique<TOwnedCollection>(this, TTrItem::StaticClass());
    TStringList* Lines() const { return lines.get(); }
    void SetLines(TStringList* value) { lines->Assign(value); }
    TOwnedCollection* Items() const { return items.get(); }
};

class TTrLabel : public TTrControl {
    RTL_CLASS(TTrLabel, TTrControl);

public:
    using TTrControl::TTrControl;
};

// A control whose caption refuses every change.
class TTrStubborn : public TComponent {
    RTL_CLASS(TTrStubborn, TComponent);

public:
    explicit TTrStubborn(TComponent* owner) : TComponent(owner) {}
    String Caption() const { return u"Open"; }
    void SetCaption(const String&) { throw EInvalidOperation("Caption is fixed"); }
};

RTL_PUBLISHED(TTrItem, c) { c.Property("Title", &TTrItem::title, &TTrItem::title); }
RTL_PUBLISHED(TTrControl, c) {
    c.Property("Caption", &TTrControl::caption, &TTrControl::caption);
    c.Property("Hint", &TTrControl::hint, &TTrControl::hint);
    c.Property("Hidden", &TTrControl::hidden, &TTrControl::hidden);
    c.Property("Lines", &TTrControl::Lines, &TTrControl::SetLines);
    c.Property("Items", &TTrControl::Items);
}
RTL_PUBLISHED_NONE(TTrLabel);
RTL_PUBLISHED(TTrStubborn, c) { c.Property("Caption", &TTrStubborn::Caption, &TTrStubborn::SetCaption); }

class TBoxes final : public IAppServices {
public:
    int MessageBox(const String& text, const String& caption, uint32_t) override {
        boxes.push_back(caption + u"|" + text);
        return 1;
    }
    void HandleException(const std::exception&) override {}
    TDisplaySize PrimaryScreenSize() override { return {}; }
    TDisplaySize DesktopSize() override { return {}; }
    int PixelsPerInch() override { return 96; }
    TCursor ScreenCursor() override { return crDefault; }
    void SetScreenCursor(TCursor) override {}
    void RepaintControl(TObject*) override {}
    std::vector<String> boxes;
};

class ComponentTranslationTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ostrel-components-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        const std::map<std::string, std::string> german{
            {"", MoUtf8Header}, {"Open", "Öffnen"}, {"Save", "Speichern"}, {"Form", "Formular"}, {"first", "erste"},
            {"Item", "Eintrag"}, {"tip", "Hinweis"}, {"Secret", "Geheim"}, {"Label", "Beschriftung"}};
        const std::map<std::string, std::string> french{{"", MoUtf8Header}, {"Open", "Ouvrir"}, {"Form", "Formulaire"},
                                                        {"first", "premier"}, {"Item", "Article"}, {"tip", "astuce"}};
        WriteMoFile(folder_ / "de" / "LC_MESSAGES" / "default.mo", MoBytes(german));
        WriteMoFile(folder_ / "fr" / "LC_MESSAGES" / "default.mo", MoBytes(french));
        translator_ = std::make_unique<TTranslatorInstance>(String(folder_.string()));
        translator_->SelectLanguage(u"de");

        form_ = std::make_unique<TTrControl>(nullptr);
        form_->SetName(u"Form1");
        form_->caption = u"Form";
        form_->hint = "tip";
        form_->lines->SetText(u"first\r\n\r\nOpen");
        static_cast<TTrItem*>(form_->items->Add())->title = u"Item";
        button_ = new TTrControl(form_.get());
        button_->SetName(u"Open");
        button_->caption = u"Open";
        button_->hidden = u"Secret";
        label_ = new TTrLabel(form_.get());
        label_->SetName(u"Label1");
        label_->caption = u"Label";
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
    TBoxes services_;
    TAppServicesScope scope_{services_};
    std::unique_ptr<TTranslatorInstance> translator_;
    std::unique_ptr<TTrControl> form_;
    TTrControl* button_;
    TTrLabel* label_;
};

TEST_F(ComponentTranslationTest, TranslatesTextsListsCollectionsAndOwnedComponentsButNotNames) {
    translator_->TranslateComponent(form_.get());
    EXPECT_EQ(form_->caption, u"Formular");
    EXPECT_EQ(form_->hint, "Hinweis");
    EXPECT_EQ(form_->lines->Text(), u"erste\n\nÖffnen\n");
    EXPECT_EQ(static_cast<TTrItem*>(form_->items->Items(0))->title, u"Eintrag");
    EXPECT_EQ(button_->caption, u"Öffnen");
    EXPECT_EQ(button_->Name(), u"Open");
    EXPECT_EQ(button_->hidden, u"Geheim");
    EXPECT_EQ(label_->caption, u"Beschriftung");
    EXPECT_TRUE(services_.boxes.empty());
}

TEST_F(ComponentTranslationTest, IgnoreRulesAndClassHandlersHold) {
    std::vector<TObject*> handled;
    translator_->TP_GlobalIgnoreClassProperty(TTrControl::StaticClass(), u"Hidden");
    translator_->TP_GlobalHandleClass(TTrLabel::StaticClass(), [&](TObject* object) { handled.push_back(object); });
    translator_->TP_Ignore(u".caption");
    translator_->TranslateComponent(form_.get());
    EXPECT_EQ(form_->caption, u"Form");
    EXPECT_EQ(button_->caption, u"Öffnen");
    EXPECT_EQ(button_->hidden, u"Secret");
    EXPECT_EQ(label_->caption, u"Label");
    EXPECT_EQ(handled, std::vector<TObject*>{label_});
    try {
        translator_->TP_GlobalIgnoreClassProperty(TTrLabel::StaticClass(), u"Caption");
        ADD_FAILURE() << "no error";
    } catch (const ETrProgrammingError& e) {
        EXPECT_EQ(e.Message(), u"You cannot ignore a class property for a class that has a handler set.");
    }
}

TEST_F(ComponentTranslationTest, PerCallRulesLastForOneCall) {
    translator_->TP_Ignore(u"open");
    translator_->TP_IgnoreClass(TTrLabel::StaticClass());
    translator_->TranslateComponent(form_.get());
    EXPECT_EQ(button_->caption, u"Open");
    EXPECT_EQ(label_->caption, u"Label");

    TTrControl other(nullptr);
    auto* otherButton = new TTrControl(&other);
    otherButton->SetName(u"Open");
    otherButton->caption = u"Open";
    translator_->TranslateComponent(&other);
    EXPECT_EQ(otherButton->caption, u"Öffnen");
}

TEST_F(ComponentTranslationTest, RefusingSetterBecomesAComponentError) {
    TTrStubborn stubborn(nullptr);
    try {
        translator_->TranslateComponent(&stubborn);
        ADD_FAILURE() << "no error";
    } catch (const ETrComponentError& e) {
        EXPECT_EQ(e.Message(), u"Property cannot be translated.\r\nAdd TP_GlobalIgnoreClassProperty(TTrStubborn, 'Caption') "
                               u"to your source code or use\r\nTP_Ignore (self, '.Caption') to prevent this message.\r\n"
                               u"Reason: Caption is fixed");
    }
}

TEST_F(ComponentTranslationTest, EightBitTextsReadInTheTranslatorsCodePageOrRaise) {
    const std::string gbk = "\xD7\xAA\xBB\xBB"; // "转换" in GBK, no UTF-8
    struct Case {
        int codePage;
        std::string hint;
        std::string translated; // empty: the conversion fails
    };
    const Case cases[] = {{0, "tip", "Hinweis"}, {936, "tip", "Hinweis"}, {936, gbk, gbk}, {0, gbk, ""}};
    for (const Case& c : cases) {
        TTrControl control(nullptr);
        control.hint = c.hint;
        translator_->SetCodePage(c.codePage);
        try {
            translator_->TranslateComponent(&control);
            EXPECT_EQ(control.hint, c.translated) << c.codePage;
        } catch (const ETrComponentError& e) {
            EXPECT_TRUE(c.translated.empty()) << c.codePage << ": " << e.Message();
            EXPECT_NE(e.Message().find(u"TP_Ignore (self, '.Hint')"), String::npos);
            EXPECT_NE(e.Message().find(u"\r\nReason: Cannot convert AnsiString to UnicodeString:\r\n"), String::npos);
            EXPECT_EQ(control.hint, c.hint) << "left as it was";
        }
    }
}

TEST_F(ComponentTranslationTest, SecondTranslationInAnotherLanguageWarnsAndRetranslationBringsTheNewTexts) {
    translator_->TranslateComponent(form_.get());
    translator_->SelectLanguage(u"fr");
    translator_->TranslateComponent(form_.get());
    ASSERT_EQ(services_.boxes.size(), 1u);
    EXPECT_TRUE(services_.boxes[0].starts_with(u"Error|This application tried to switch the language"));
    EXPECT_EQ(form_->caption, u"Formular");

    translator_->RetranslateComponent(form_.get());
    EXPECT_EQ(form_->caption, u"Formulaire");
    EXPECT_EQ(form_->hint, "astuce");
    EXPECT_EQ(form_->lines->Text(), u"premier\n\nOuvrir\n");
    EXPECT_EQ(static_cast<TTrItem*>(form_->items->Items(0))->title, u"Article");
    EXPECT_EQ(button_->caption, u"Ouvrir");
    EXPECT_EQ(button_->hidden, u"Secret");
    translator_->TranslateComponent(form_.get());
    EXPECT_EQ(services_.boxes.size(), 1u);
}

} // namespace
