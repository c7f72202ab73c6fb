#include "support/translation/ScMoFile.h"

#include <gtest/gtest.h>

#include "support/translation/MoWriter.h"
#include "support/translation/ScTranslationErrors.h"
#include "support/translation/ScTranslationText.h"

namespace {

const std::map<std::string, std::string> Entries = {
    {"", MoUtf8Header}, {"Apple", "Apfel"}, {"Banana", "Banane"}, {"Ban", "Bann"},
    {"\xC3\xA9t\xC3\xA9", "Sommer"}, {"Zebra", "Zebra!"}, {"zz", "klein"},
};

TEST(MoFile, BothByteOrdersFindEveryKeyAndNothingElse) {
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian);
        TMoFile file(MoBytes(Entries, bigEndian), u"test.mo");
        EXPECT_EQ(file.Count(), Entries.size());
        for (const auto& [key, translation] : Entries) EXPECT_EQ(file.Lookup(key), translation) << key;
        for (const char* missing : {"A", "Apple ", "Bana", "Zz", "\xFF", "zzz"}) EXPECT_FALSE(file.Lookup(missing)) << missing;
    }
}

TEST(MoFile, CatalogueOfManyEntriesFindsEachOne) {
    std::map<std::string, std::string> many;
    for (int i = 0; i < 1000; ++i) many["key " + std::to_string(i)] = "value " + std::to_string(i);
    TMoFile file(MoBytes(many), u"many.mo");
    for (const auto& [key, translation] : many) ASSERT_EQ(file.Lookup(key), translation);
}

TEST(MoFile, EmptyCatalogueTranslatesNothing) {
    TMoFile file(MoBytes({}), u"empty.mo");
    EXPECT_FALSE(file.Lookup(""));
}

// Offsets of the first original's and translation's entries in MoBytes' layout.
constexpr size_t FirstOriginal = 28;
constexpr size_t FirstTranslation = 28 + 8 * 2;

void PutLittle(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int k = 0; k < 4; ++k) bytes[at + k] = uint8_t(value >> 8 * k);
}

TEST(MoFile, DamagedFilesAreRejectedWithTheFileName) {
    const std::vector<uint8_t> sound = MoBytes({{"a", "b"}, {"c", "d"}});
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"bad magic", [](auto& b) { b[0] = 0x12; }},
        {"too short for the header", [](auto& b) { b.resize(19); }},
        {"empty", [](auto& b) { b.clear(); }},
        {"count past the end", [](auto& b) { PutLittle(b, 8, 0x10000000); }},
        {"originals table past the end", [](auto& b) { PutLittle(b, 12, uint32_t(b.size()) - 4); }},
        {"translation table offset huge", [](auto& b) { PutLittle(b, 16, 0xFFFFFFF0); }},
        {"original past the end", [](auto& b) { PutLittle(b, FirstOriginal + 4, uint32_t(b.size())); }},
        {"translation length past the end", [](auto& b) { PutLittle(b, FirstTranslation, 0xFFFFFFFF); }},
        {"offset plus length wraps", [](auto& b) { PutLittle(b, FirstTranslation, 0xFFFFFFFF), PutLittle(b, FirstTranslation + 4, 2); }},
        {"terminating NUL missing", [](auto& b) { b.back() = 'x'; }},
        {"string ends at the last byte without NUL", [](auto& b) { b.pop_back(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = sound;
        c.damage(bytes);
        try {
            TMoFile file(std::move(bytes), u"/x/de.mo");
            ADD_FAILURE() << "accepted";
        } catch (const ETrIOError& e) {
            EXPECT_EQ(e.Message(), u"This file is not a valid GNU gettext mo file: /x/de.mo");
        }
    }
}

TEST(MoFile, UnreadableFileIsNotACatalogue) {
    EXPECT_THROW(TMoFile::FromFile(u"/nonexistent/de.mo"), ETrIOError);
}

TEST(TranslationKey, IsUtf8WithoutCarriageReturnsAndPairsAsFourBytes) {
    EXPECT_EQ(TranslationKey(u"a\r\nb\rc"), "a\nbc");
    EXPECT_EQ(TranslationKey(u"视频"), "\xE8\xA7\x86\xE9\xA2\x91");
    EXPECT_EQ(TranslationKey(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(TranslationText, DecodesUtf8AndEndsLinesWithCrLf) {
    EXPECT_EQ(TranslationText("a\nb\r\nc\n\n"), u"a\r\nb\r\nc\r\n\r\n");
    EXPECT_EQ(TranslationText("\nx"), u"\nx");
    EXPECT_EQ(TranslationText("\xF0\x9F\x98\x80 \xE8\xA7\x86 \xC3\xA9"), u"\U0001F600 视 é");
}

TEST(TranslationText, InvalidUtf8RaisesItsError) {
    const std::string invalid = "Invalid byte sequence encountered in utf-8 string";
    const std::string truncated = "Utf-8 string terminated unexpectedly in the middle of a multibyte sequence";
    const std::pair<std::string, std::string> cases[] = {
        {"\x80", invalid},          {"a\xC3(", invalid},           {"\xF8\x88\x80\x80\x80", invalid},
        {"\xFC\x84\x80\x80\x80\x80", invalid}, {"\xFE", invalid}, {"\xC0\xAF", invalid},
        {"\xED\xA0\x80", invalid},  {"\xF4\x90\x80\x80", invalid}, {"\xE8\xA7", truncated},
        {"ok\xF0\x9F\x98", truncated}, {"\xE8(", invalid},
    };
    for (const auto& [bytes, message] : cases) {
        try {
            TranslationText(bytes);
            ADD_FAILURE() << "accepted";
        } catch (const ETranslator& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
}

} // namespace
