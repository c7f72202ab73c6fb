#include "support/translation/ScTranslatorInstance.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>

#include <gtest/gtest.h>

#include "platform/rtl/AppServices.h"
#include "platform/rtl/DynamicLibrary.h"
#include "platform/rtl/ResourceStrings.h"
#include "support/translation/MoWriter.h"
#include "support/translation/ScTranslationErrors.h"
#include "support/utils/SupportUnit.h"

extern const TSupportUnit ScTranslatorUnit;

namespace fs = std::filesystem;

namespace {

class TRecordingServices final : public IAppServices {
public:
    int MessageBox(const String& text, const String& caption, uint32_t flags) override {
        boxes.push_back(caption + u"|" + text + u"|" + String(std::to_string(flags)));
        return 1;
    }
    void HandleException(const std::exception& error) override { exceptions.push_back(String(error.what())); }
    TDisplaySize PrimaryScreenSize() override { return {}; }
    TDisplaySize DesktopSize() override { return {}; }
    int PixelsPerInch() override { return 96; }
    TCursor ScreenCursor() override { return crDefault; }
    void SetScreenCursor(TCursor) override {}
    void RepaintControl(TObject*) override {}

    std::vector<String> boxes;
    std::vector<String> exceptions;
};

// Sets (a value) or unsets (nullopt) a variable while in scope.
class TEnvironment {
public:
    TEnvironment(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) setenv(name, value->c_str(), 1);
        else unsetenv(name);
    }
    ~TEnvironment() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class TranslatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/ostrel-translation-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    void Catalogue(const std::string& language, const std::string& domain, std::map<std::string, std::string> entries,
                   bool bigEndian = false) {
        entries.emplace("", MoUtf8Header);
        WriteMoFile(folder_ / language / "LC_MESSAGES" / (domain + ".mo"), MoBytes(entries, bigEndian));
    }
    String Folder() const { return String(folder_.string()); }

    fs::path folder_;
    TRecordingServices services_;
    TAppServicesScope scope_{services_};
};

TEST_F(TranslatorTest, WithoutACatalogueEveryTextComesBackUnchangedAndNoBoxIsShown) {
    TTranslatorInstance translator(Folder() + u"/locale");
    translator.SelectLanguage(u"de_DE");
    const String unpaired(1, char16_t(0xD800));
    for (const String& text : {String(u"Open"), String(u"a\nb\r\nc"), String(u"视频"), unpaired, String()})
        EXPECT_EQ(translator.Translate(text), text);
    EXPECT_EQ(translator.DomainHeaderField(u"default", u"Content-Type"), u"");
    EXPECT_TRUE(services_.boxes.empty());
}

TEST(LanguageFromEnvironment, TakesLcAllThenLcMessagesThenLangWithoutTheCodeSet) {
    struct Case {
        std::optional<std::string> all, messages, lang;
        const char16_t* language;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, "de_DE.UTF-8", u"de_DE"},
        {std::nullopt, "fr_FR", "de_DE.UTF-8", u"fr_FR"},
        {"it_IT.ISO-8859-1", "fr_FR", "de_DE", u"it_IT"},
        {"", "", "zh_CN.UTF-8", u"zh_CN"},
        {std::nullopt, std::nullopt, std::nullopt, u"C"},
        {std::nullopt, std::nullopt, "POSIX", u"C"},
    };
    for (const Case& c : cases) {
        TEnvironment all("LC_ALL", c.all), messages("LC_MESSAGES", c.messages), lang("LANG", c.lang);
        EXPECT_EQ(LanguageFromEnvironment(), c.language) << String(c.language).ToUtf8();
    }
}

TEST_F(TranslatorTest, LanguageOfTheEnvironmentFallsBackToItsTwoLetterFolder) {
    TEnvironment all("LC_ALL", std::nullopt), messages("LC_MESSAGES", std::nullopt), lang("LANG", "de_DE.UTF-8");
    Catalogue("de", "default", {{"Open", "Öffnen"}});
    TTranslatorInstance translator(Folder());
    EXPECT_EQ(translator.Language(), u"de_DE");
    EXPECT_EQ(translator.Translate(u"Open"), u"Öffnen");
}

TEST_F(TranslatorTest, BigEndianCatalogueTranslatesLikeItsLittleEndianTwin) {
    const std::map<std::string, std::string> entries{{"Open", "Öffnen"}, {"Close", "Schließen"}};
    Catalogue("de", "default", entries);
    Catalogue("xx", "default", entries, true);
    TTranslatorInstance translator(Folder());
    for (const char16_t* language : {u"de", u"xx"}) {
        translator.SelectLanguage(language);
        EXPECT_EQ(translator.Translate(u"Open"), u"Öffnen");
        EXPECT_EQ(translator.Translate(u"Close"), u"Schließen");
        EXPECT_EQ(translator.Translate(u"Other"), u"Other");
    }
}

TEST_F(TranslatorTest, CatalogueWithoutUtf8CharsetWarnsOnceAndTranslatesNothing) {
    WriteMoFile(folder_ / "de" / "LC_MESSAGES" / "default.mo",
                MoBytes({{"", "Content-Type: text/plain; charset=ISO-8859-1\n"}, {"Open", "Offnen"}}));
    TTranslatorInstance translator(Folder());
    translator.SelectLanguage(u"de");
    EXPECT_EQ(translator.Translate(u"Open"), u"Open");
    EXPECT_EQ(translator.Translate(u"Open"), u"Open");
    const String file = Folder() + u"/de/LC_MESSAGES/default.mo";
    EXPECT_EQ(services_.boxes, std::vector<String>{String(u"Localization problem|The translation for the language code de (in ") + file +
                                                   u") does not have charset=utf-8 in its Content-Type. Translations are turned off.|0"});
}

TEST_F(TranslatorTest, DamagedCatalogueRaisesOnceThenLeavesTextsAlone) {
    const fs::path file = folder_ / "de" / "LC_MESSAGES" / "default.mo";
    for (bool badMagic : {true, false}) {
        std::vector<uint8_t> bytes = MoBytes({{"", MoUtf8Header}, {"Open", "Öffnen"}});
        if (badMagic) bytes[0] = 0;
        else bytes[28 + 8 + 4] = 0xF0; // the offset of "Open" far past the end
        WriteMoFile(file, bytes);
        TTranslatorInstance translator(Folder());
        translator.SelectLanguage(u"de");
        try {
            translator.Translate(u"Open");
            ADD_FAILURE() << "no error";
        } catch (const ETrIOError& e) {
            EXPECT_EQ(e.Message(), String(u"This file is not a valid GNU gettext mo file: ") + String(file.string()));
        }
        EXPECT_EQ(translator.Translate(u"Open"), u"Open");
    }
}

TEST_F(TranslatorTest, DomainHeaderFieldFindsFieldsIgnoringCaseAndTrimmed) {
    WriteMoFile(folder_ / "de" / "LC_MESSAGES" / "default.mo",
                MoBytes({{"", "Project-Id-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\nLast-Translator:  Jürgen \t\n"}}));
    TTranslatorInstance translator(Folder());
    translator.SelectLanguage(u"de");
    EXPECT_EQ(translator.DomainHeaderField(u"default", u"last-translator"), u"Jürgen");
    EXPECT_EQ(translator.DomainHeaderField(u"default", u"Project-Id-Version"), u"1.0");
    EXPECT_EQ(translator.DomainHeaderField(u"default", u"Language"), u"");
    EXPECT_EQ(translator.DomainHeaderField(u"default", u"Project"), u"");
}

TEST_F(TranslatorTest, TextsKeepTheirLineEndsAndCharactersBeyondTheBasicPlane) {
    Catalogue("de", "default",
              {{"two\nlines", "zwei\nZeilen\n"}, {"smile \xF0\x9F\x98\x80", "L\xC3\xA4" "cheln \xF0\x9F\x98\x83"}, {"bad", "\xC3("}});
    TTranslatorInstance translator(Folder());
    translator.SelectLanguage(u"de");
    EXPECT_EQ(translator.Translate(u"two\nlines"), u"zwei\r\nZeilen\r\n");
    EXPECT_EQ(translator.Translate(u"two\r\nlines"), u"zwei\r\nZeilen\r\n");
    EXPECT_EQ(translator.Translate(u"smile \U0001F600"), u"Lächeln \U0001F603");
    try {
        translator.Translate(u"bad");
        ADD_FAILURE() << "no error";
    } catch (const ETranslator& e) {
        EXPECT_EQ(e.Message(), u"Invalid byte sequence encountered in utf-8 string");
    }
}

constexpr TResStringRec SGreeting{0xF050, u"Hello"};
constexpr TResStringRec SBroken{0xF051, u"Broken"};
constexpr TResStringRec SCount{0xF052, u"%d files"};

class ResourceStringTranslationTest : public TranslatorTest {
protected:
    void SetUp() override {
        TranslatorTest::SetUp();
        ScTranslatorUnit.Start();
        RegisterResStrings({&SGreeting, &SBroken, &SCount});
        Catalogue("de", "default", {{"Hello", "Hallo"}, {"Broken", "\xFF"}, {"3 files", "3 Dateien"}});
        Catalogue("de", "xcl", {{"Hello", "Servus"}, {"Extra", "Zusatz"}});
        DefaultTranslator()->BindDomainFolder(u"default", Folder());
        DefaultTranslator()->BindDomainFolder(u"xcl", Folder());
        DefaultTranslator()->SelectLanguage(u"de");
    }
    void TearDown() override {
        UnregisterResStrings({&SGreeting, &SBroken, &SCount});
        ScTranslatorUnit.Finish();
        TranslatorTest::TearDown();
    }
};

TEST_F(ResourceStringTranslationTest, RecordStringsTranslateOnlyOnTheCreatingThreadIdentifierLoadsOnEveryThread) {
    EXPECT_EQ(LoadResString(SGreeting), u"Hallo");
    EXPECT_EQ(LoadStr(SGreeting.Identifier), u"Hallo");
    EXPECT_EQ(FmtLoadStr(SCount.Identifier, {3}), u"3 Dateien");
    String byRecord, byIdentifier, formatted;
    std::thread([&] {
        byRecord = LoadResString(SGreeting);
        byIdentifier = LoadStr(SGreeting.Identifier);
        formatted = FmtLoadStr(SCount.Identifier, {3});
    }).join();
    EXPECT_EQ(byRecord, u"Hello");
    EXPECT_EQ(byIdentifier, u"Hallo");
    EXPECT_EQ(formatted, u"3 Dateien");
}

TEST_F(ResourceStringTranslationTest, DomainsAreAskedInOrderAndAddedOnceIgnoringCase) {
    AddResourceStringDomain(u"xcl");
    AddResourceStringDomain(u"XCL");
    EXPECT_EQ(ResourceStringDomains(), (std::vector<String>{u"default", u"xcl"}));
    EXPECT_EQ(TranslateResourceString(u"Hello"), u"Hallo");
    EXPECT_EQ(TranslateResourceString(u"Extra"), u"Zusatz");
    EXPECT_EQ(TranslateResourceString(u""), u"");
}

TEST_F(ResourceStringTranslationTest, TranslationErrorLeavesTheLoadedTextAndReachesTheExceptionHandler) {
    EXPECT_EQ(LoadStr(SBroken.Identifier), u"Broken");
    EXPECT_EQ(services_.exceptions, std::vector<String>{u"Invalid byte sequence encountered in utf-8 string"});
}

TEST_F(ResourceStringTranslationTest, AfterTheUnitFinishesThePlainLoadersAreBack) {
    ScTranslatorUnit.Finish();
    EXPECT_EQ(DefaultTranslator(), nullptr);
    EXPECT_EQ(LoadResString(SGreeting), u"Hello");
    EXPECT_EQ(LoadStr(SGreeting.Identifier), u"Hello");
    EXPECT_EQ(TranslateResourceString(u"Hello"), u"Hello");
    ScTranslatorUnit.Start();
}

} // namespace
