#include "supportui/ScShellDisplayName.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/rtl/TaskAllocator.h"
#include "platform/win/shell/ItemIdLists.h"

namespace fs = std::filesystem;

namespace {

// A folder that gives every item the name it was told, in the form it was told.
class TScriptedFolder : public TImplements<TInterfacedObject, IShellFolder> {
public:
    HRESULT answer = S_OK;
    STRRET name{};
    DWORD askedFlags = 0xFFFF;

    HRESULT ParseDisplayName(HWND, void*, LPCWSTR, ULONG*, ITEMIDLIST**, ULONG*) override { return E_NOTIMPL; }
    HRESULT EnumObjects(HWND, DWORD, TIntfPtr<IEnumIDList>&) override { return E_NOTIMPL; }
    HRESULT BindToObject(const ITEMIDLIST*, void*, const TGUID&, void**) override { return E_NOTIMPL; }
    HRESULT GetAttributesOf(UINT, const ITEMIDLIST* const*, ULONG*) override { return E_NOTIMPL; }
    HRESULT GetDisplayNameOf(const ITEMIDLIST*, DWORD flags, STRRET* out) override {
        askedFlags = flags;
        *out = name;
        return answer;
    }
};

STRRET Wide(const char16_t* text) {
    STRRET name{};
    name.uType = STRRET_WSTR;
    const size_t bytes = (std::char_traits<char16_t>::length(text) + 1) * sizeof(char16_t);
    name.pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    std::memcpy(name.pOleStr, text, bytes);
    return name;
}

STRRET Inline(const char* utf8, size_t size) {
    STRRET name{};
    name.uType = STRRET_CSTR;
    std::memcpy(name.cStr, utf8, size);
    return name;
}

STRRET AtOffset(UINT offset) {
    STRRET name{};
    name.uType = STRRET_OFFSET;
    name.uOffset = offset;
    return name;
}

TEST(ShellDisplayName, EachFormOfTheAnswerIsCutAtItsFirstNul) {
    // One item holding "ab" and "影" in UTF-8 after its size, then the list's end.
    const std::vector<uint8_t> list{7, 0, 'a', 'b', 0xE5, 0xBD, 0xB1, 0, 0};
    const auto* item = reinterpret_cast<const ITEMIDLIST*>(list.data());
    struct Case {
        const char* form;
        STRRET name;
        const char16_t* expected;
    };
    const Case cases[] = {
        {"wide", Wide(u"电影\0rest"), u"电影"},
        {"inline", Inline("\xE7\x94\xB5\0rest", 9), u"电"},
        {"offset", AtOffset(2), u"ab影"},
    };
    for (const Case& c : cases) {
        TIntfPtr<TScriptedFolder> folder = MakeIntf<TScriptedFolder>();
        folder->name = c.name;
        EXPECT_EQ(ShellDisplayName(*folder, item, snkNormal), c.expected) << c.form;
    }
}

TEST(ShellDisplayName, KindChoosesTheFlagsAndAFailedAnswerGivesNothing) {
    TIntfPtr<TScriptedFolder> folder = MakeIntf<TScriptedFolder>();
    folder->name = Inline("x", 1);
    ShellDisplayName(*folder, nullptr, snkNormal);
    EXPECT_EQ(folder->askedFlags, SHGDN_NORMAL);
    ShellDisplayName(*folder, nullptr, snkForParsing);
    EXPECT_EQ(folder->askedFlags, SHGDN_FORPARSING);
    folder->answer = E_FAIL;
    EXPECT_EQ(ShellDisplayName(*folder, nullptr, snkNormal), u"");
    folder->answer = S_OK;
    folder->name = AtOffset(40);
    EXPECT_EQ(ShellDisplayName(*folder, nullptr, snkNormal), u"") << "an offset without a list";
}

TEST(ShellDisplayName, TheDesktopNamesAFileAndGivesItsPath) {
    const fs::path folder = fs::path(std::getenv("OSTREL_HOME")) / "display-name";
    fs::create_directories(folder);
    const fs::path file = folder / "电影 1.mkv";
    std::ofstream(file) << "x";
    TIntfPtr<IShellFolder> desktop;
    ASSERT_EQ(SHGetDesktopFolder(desktop), S_OK);
    ITEMIDLIST* list = nullptr;
    const String path(file.string());
    ASSERT_EQ(desktop->ParseDisplayName(nullptr, nullptr, path.c_str(), nullptr, &list, nullptr), S_OK);
    EXPECT_EQ(ShellDisplayName(*desktop, list, snkNormal), u"电影 1.mkv");
    EXPECT_EQ(ShellDisplayName(*desktop, list, snkForParsing), path);
    ILFree(list);
    fs::remove_all(folder);
}

} // namespace
