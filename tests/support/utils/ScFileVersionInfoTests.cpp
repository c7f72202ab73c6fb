#include "support/utils/ScFileVersionInfo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/rtl/DynamicLibrary.h"
#include "platform/rtl/VersionBlockWriter.h"

namespace {

using TNode = TVersionBlockNode;
using TVersionStrings = std::vector<std::pair<String, String>>;

TNode Root(std::vector<TNode> children, uint32_t flags = 0, uint32_t mask = VS_FFI_FILEFLAGSMASK) {
    VS_FIXEDFILEINFO fixed{};
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwFileVersionMS = 0x00010002;
    fixed.dwFileVersionLS = 0x00030004;
    fixed.dwProductVersionMS = 0x00050000;
    fixed.dwFileFlagsMask = mask;
    fixed.dwFileFlags = flags;
    fixed.dwFileOS = 0x40004;
    fixed.dwFileType = VFT_APP;
    fixed.dwFileSubtype = 7;
    uint8_t bytes[sizeof fixed];
    std::memcpy(bytes, &fixed, sizeof fixed);
    TNode root = TNode::Binary(u"VS_VERSION_INFO", bytes);
    root.Children = std::move(children);
    return root;
}

TNode Table(const String& key, const TVersionStrings& strings) {
    std::vector<TNode> entries;
    for (const auto& [name, value] : strings) entries.push_back(TNode::Text(name, value));
    return TNode::Parent(key, std::move(entries));
}

TNode Strings(std::vector<TNode> tables) { return TNode::Parent(u"StringFileInfo", std::move(tables)); }

TNode Translations(std::vector<uint8_t> pairs) {
    return TNode::Parent(u"VarFileInfo", {TNode::Binary(u"Translation", pairs)});
}

std::unique_ptr<TScFileVersionInfo> Parse(const TNode& root) { return TScFileVersionInfo::Attach(WriteVersionBlock(root)); }

void ExpectNoVersionInformation(std::vector<uint8_t> block, const std::string& what) {
    try {
        TScFileVersionInfo::Attach(std::move(block));
        ADD_FAILURE() << what << " parsed";
    } catch (const EScFileVersionInfoError& e) {
        EXPECT_EQ(e.Message(), u"File contains no version information") << what;
    }
}

// The offset of the entry whose key is Key in a block of the 32-bit form.
size_t EntryOf(const std::vector<uint8_t>& block, const String& key) {
    std::vector<uint8_t> pattern;
    for (char16_t c : key) pattern.insert(pattern.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
    pattern.insert(pattern.end(), {0, 0});
    const auto at = std::search(block.begin(), block.end(), pattern.begin(), pattern.end());
    EXPECT_NE(at, block.end()) << key;
    return static_cast<size_t>(at - block.begin()) - 6;
}

void PutWord(std::vector<uint8_t>& block, size_t offset, uint16_t value) {
    block[offset] = static_cast<uint8_t>(value);
    block[offset + 1] = static_cast<uint8_t>(value >> 8);
}

TEST(ScFileVersionInfo, EachStringTableIsALanguageThatSwitchesItems) {
    const auto info = Parse(Root({
        Strings({Table(u"040904b0", {{u"CompanyName", u"Maker"}, {u"ProductName", u"Tool"}}),
                 Table(u"080404b0", {{u"CompanyName", u"\u5382\u5546"}, {u"Comments", u"x=y"}})}),
        Translations({0x09, 0x04, 0xB0, 0x04, 0x04, 0x08, 0xB0, 0x04}),
    }));
    EXPECT_EQ(info->LanguageCount(), 2);
    EXPECT_EQ(info->Languages()[0], (TLangIdRec{0x0409, 0x04B0}));
    EXPECT_EQ(info->Items().Text(), u"CompanyName=Maker\nProductName=Tool\n");
    EXPECT_EQ(info->ProductName(), u"Tool");

    info->SetLanguageIndex(1);
    EXPECT_EQ(info->Items().Count(), 2);
    EXPECT_EQ(info->CompanyName(), u"\u5382\u5546");
    EXPECT_EQ(info->Comments(), u"x=y");
    EXPECT_EQ(info->ProductName(), u"");
    EXPECT_EQ(info->Languages()[info->LanguageIndex()].Pair(), 0x04B00804u);

    for (int bad : {2, -1}) {
        try {
            info->SetLanguageIndex(bad);
            ADD_FAILURE() << bad;
        } catch (const EScFileVersionInfoError& e) {
            EXPECT_EQ(e.Message(), u"Illegal language index");
        }
    }
    EXPECT_EQ(info->LanguageIndex(), 1);
    ASSERT_EQ(info->TranslationCount(), 2);
    EXPECT_EQ(info->Translations()[1], (TLangIdRec{0x0804, 0x04B0}));
}

TEST(ScFileVersionInfo, LanguageKeysLoseTheirHexPrefixes) {
    const auto info = Parse(Root({Strings({Table(u"0x04090x04b0", {{u"FileVersion", u"1"}})})}));
    ASSERT_EQ(info->LanguageCount(), 1);
    EXPECT_EQ(info->Languages()[0], (TLangIdRec{0x0409, 0x04B0}));
    EXPECT_EQ(info->TranslationCount(), 0);
}

TEST(ScFileVersionInfo, VersionTextsSplitAtDotsAndCommas) {
    struct TCase {
        const char16_t* text;
        const char16_t* major;
        const char16_t* minor;
        const char16_t* release;
        const char16_t* build;
    };
    const TCase cases[] = {
        {u"1, 2, 3, 4", u"1", u"2", u"3", u"4"},
        {u"1.2", u"1", u"", u"", u"2"},
        {u"1.2.3", u"1", u"2", u"", u"3"},
        {u"7", u"7", u"", u"", u"7"},
        {u" 5 .6.7.8.9 ", u"5", u"6", u"7", u"9"},
        {u"", u"", u"", u"", u""},
    };
    for (const TCase& c : cases) {
        const auto info = Parse(Root({Strings({Table(u"040904b0", {{u"FileVersion", c.text}, {u"ProductVersion", c.text}})})}));
        EXPECT_EQ(info->FileVersionMajor(), c.major) << String(c.text);
        EXPECT_EQ(info->FileVersionMinor(), c.minor) << String(c.text);
        EXPECT_EQ(info->FileVersionRelease(), c.release) << String(c.text);
        EXPECT_EQ(info->FileVersionBuild(), c.build) << String(c.text);
        EXPECT_EQ(info->ProductVersionMinor(), c.minor) << String(c.text);
    }
}

TEST(ScFileVersionInfo, FixedInformationAndOnlyTheMaskedFlags) {
    const auto info = Parse(Root({}, VS_FF_DEBUG | VS_FF_PRERELEASE | VS_FF_PATCHED | VS_FF_SPECIALBUILD,
                                 VS_FF_DEBUG | VS_FF_PATCHED | VS_FF_PRIVATEBUILD));
    EXPECT_EQ(info->FileFlags(), (TFileFlags{ffDebug, ffPatched}));
    EXPECT_EQ(info->BinFileVersion(), u"1.2.3.4");
    EXPECT_EQ(info->BinProductVersion(), u"5.0.0.0");
    EXPECT_EQ(info->FileOS(), 0x40004u);
    EXPECT_EQ(info->FileType(), VFT_APP);
    EXPECT_EQ(info->FileSubType(), 7u);
    EXPECT_EQ(info->LanguageCount(), 0);
    EXPECT_EQ(info->FileVersion(), u"");
}

TEST(ScFileVersionInfo, BinaryValuesReadAsHexOrText) {
    TNode table = Table(u"040904b0", {});
    const uint8_t one[] = {0x07}, two[] = {0xB0, 0x04}, four[] = {0x78, 0x56, 0x34, 0x12};
    const uint8_t text[] = {'A', 0, 'B', 0, 0, 0, 'C', 0};
    table.Children = {TNode::Binary(u"One", one), TNode::Binary(u"Two", two), TNode::Binary(u"Four", four),
                      TNode::Binary(u"Text", text), TNode::Binary(u"None", {})};
    const auto info = Parse(Root({Strings({table})}));
    EXPECT_EQ(info->Items().Text(), u"One=$07\nTwo=$04B0\nFour=$12345678\nText=AB\nNone=\n");
}

TEST(ScFileVersionInfo, TheOlderSixteenBitFormReads) {
    // Entries of 16-bit length, value length, 8-bit key, padding, value, children.
    const std::function<std::vector<uint8_t>(const std::string&, const std::vector<uint8_t>&,
                                             const std::vector<std::vector<uint8_t>>&)>
        entry = [](const std::string& key, const std::vector<uint8_t>& value, const std::vector<std::vector<uint8_t>>& children) {
            std::vector<uint8_t> out = {0, 0, static_cast<uint8_t>(value.size()), 0};
            out.insert(out.end(), key.begin(), key.end());
            out.push_back(0);
            out.resize((out.size() + 3) & ~size_t{3});
            out.insert(out.end(), value.begin(), value.end());
            for (const auto& child : children) {
                out.resize((out.size() + 3) & ~size_t{3});
                out.insert(out.end(), child.begin(), child.end());
            }
            out[0] = static_cast<uint8_t>(out.size());
            out[1] = static_cast<uint8_t>(out.size() >> 8);
            return out;
        };
    std::vector<uint8_t> fixed(sizeof(VS_FIXEDFILEINFO));
    const uint32_t signature = VS_FFI_SIGNATURE;
    std::memcpy(fixed.data(), &signature, sizeof signature);
    const std::vector<uint8_t> block =
        entry("VS_VERSION_INFO", fixed,
              {entry("StringFileInfo", {}, {entry("040904E4", {}, {entry("ProductName", {'O', 'l', 'd', 0}, {})})})});
    const auto info = TScFileVersionInfo::Attach(block);
    EXPECT_EQ(info->ProductName(), u"Old");
    EXPECT_EQ(info->Languages()[0], (TLangIdRec{0x0409, 0x04E4}));
}

TEST(ScFileVersionInfo, MalformedBlocksHaveNoVersionInformation) {
    const std::vector<uint8_t> good = WriteVersionBlock(Root({
        Strings({Table(u"040904b0", {{u"ProductName", u"Tool"}, {u"FileVersion", u"1.0"}})}),
        Translations({0x09, 0x04, 0xB0, 0x04}),
    }));
    ASSERT_NO_THROW(TScFileVersionInfo::Attach(good));
    struct TCase {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> spoil;
    };
    const TCase cases[] = {
        {"empty", [](auto& b) { b.clear(); }},
        {"truncated", [](auto& b) { b.resize(b.size() - 2); }},
        {"a root longer than the buffer", [](auto& b) { PutWord(b, 0, static_cast<uint16_t>(b.size() + 4)); }},
        {"a root key not ended inside the buffer", [](auto& b) { b.resize(20); PutWord(b, 0, 20); }},
        {"another root key", [](auto& b) { b[6] = 'X'; }},
        {"a fixed block of another size", [](auto& b) { PutWord(b, 2, 50); }},
        {"a bad signature", [](auto& b) { b[EntryOf(b, u"VS_VERSION_INFO") + 40] ^= 1; }},
        {"a child longer than its parent",
         [](auto& b) { const size_t e = EntryOf(b, u"StringFileInfo"); PutWord(b, e, static_cast<uint16_t>(b[e] + 8)); }},
        {"a string longer than its table",
         [](auto& b) { const size_t e = EntryOf(b, u"FileVersion"); PutWord(b, e, static_cast<uint16_t>(b[e] + 4)); }},
        {"a child of length zero", [](auto& b) { PutWord(b, EntryOf(b, u"VarFileInfo"), 0); }},
        {"a key that does not end inside its entry", [](auto& b) { PutWord(b, EntryOf(b, u"ProductName"), 10); }},
        {"a value that runs past its entry", [](auto& b) { PutWord(b, EntryOf(b, u"ProductName") + 2, 200); }},
        {"a translation list past its entry", [](auto& b) { PutWord(b, EntryOf(b, u"Translation") + 2, 64); }},
        {"a value of unknown type", [](auto& b) { PutWord(b, EntryOf(b, u"ProductName") + 4, 7); }},
        {"a string table with a value", [](auto& b) { PutWord(b, EntryOf(b, u"040904b0") + 2, 1); }},
        {"a string table key of seven digits", [](auto& b) { b[EntryOf(b, u"040904b0") + 6] = 'g'; }},
    };
    for (const TCase& c : cases) {
        std::vector<uint8_t> block = good;
        c.spoil(block);
        ExpectNoVersionInformation(std::move(block), c.what);
    }
}

TEST(ScFileVersionInfo, TheTestProgramReadsItsOwnBlockAndOtherFilesHaveNone) {
    const TScFileVersionInfo own(ProgramFileName());
    EXPECT_EQ(own.ProductName(), String(OSTREL_PRODUCT_NAME));
    EXPECT_EQ(own.InternalName(), u"support_tests");
    EXPECT_EQ(own.FileVersion(), own.ProductVersion());
    EXPECT_EQ(own.FileVersionMajor() + u"." + own.FileVersionMinor(), own.BinFileVersion().substr(0, 3));
    EXPECT_EQ(own.Translations(), (std::vector<TLangIdRec>{{0x0804, 0x04B0}}));
    for (const String other : {u"/bin/sh", u"/nonexistent/ostrel"}) {
        try {
            TScFileVersionInfo info(other);
            ADD_FAILURE() << other;
        } catch (const EScFileVersionInfoError& e) {
            EXPECT_EQ(e.Message(), u"File contains no version information");
        }
    }
}

} // namespace
