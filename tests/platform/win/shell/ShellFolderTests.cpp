#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "ShellFixture.h"
#include "platform/win/shell/ShellFolder.h"

namespace {

String NameOf(IShellFolder& folder, const ITEMIDLIST* list, DWORD flags) {
    STRRET name;
    if (folder.GetDisplayNameOf(list, flags, &name) != S_OK) return u"<failed>";
    char16_t buffer[MAX_PATH];
    EXPECT_EQ(StrRetToBufW(&name, list, buffer, MAX_PATH), S_OK);
    return buffer;
}

// The names an enumeration gives, in order.
std::vector<String> Listed(IShellFolder& folder, DWORD flags) {
    TIntfPtr<IEnumIDList> items;
    EXPECT_EQ(folder.EnumObjects(nullptr, flags, items), S_OK);
    std::vector<String> names;
    if (!items) return names;
    ITEMIDLIST* item = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &item, &fetched) == S_OK) {
        EXPECT_EQ(fetched, 1u);
        names.push_back(NameOf(folder, item, SHGDN_NORMAL));
        ILFree(item);
    }
    return names;
}

class ShellFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree_.Folder("视频/sub folder");
        tree_.Folder("Music");
        tree_.Folder(".config");
        tree_.File("视频/a b.mp4", "x");
        tree_.File("b.txt");
        tree_.File(".hidden");
        ASSERT_EQ(SHGetDesktopFolder(desktop_), S_OK);
    }
    TIntfPtr<IShellFolder> Bind(const String& path) {
        ITEMIDLIST* list = nullptr;
        EXPECT_EQ(desktop_->ParseDisplayName(nullptr, nullptr, path.c_str(), nullptr, &list, nullptr), S_OK);
        const TItemIdListPtr owned(list);
        void* folder = nullptr;
        if (desktop_->BindToObject(list, nullptr, IShellFolder::IID, &folder) != S_OK) return nullptr;
        return TIntfPtr<IShellFolder>::Adopt(static_cast<IShellFolder*>(folder));
    }

    TShellTempTree tree_;
    TIntfPtr<IShellFolder> desktop_;
};

TEST_F(ShellFolderTest, TheDesktopParsesAbsolutePathsAndNamesThemBack) {
    const String file = tree_.Path("视频/a b.mp4");
    ITEMIDLIST* list = nullptr;
    ULONG eaten = 0, attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HIDDEN;
    ASSERT_EQ(desktop_->ParseDisplayName(nullptr, nullptr, file.c_str(), &eaten, &list, &attributes), S_OK);
    const TItemIdListPtr owned(list);
    EXPECT_EQ(eaten, file.size());
    EXPECT_EQ(attributes, SFGAO_FILESYSTEM);
    EXPECT_EQ(NameOf(*desktop_, list, SHGDN_FORPARSING), file);
    EXPECT_EQ(NameOf(*desktop_, list, SHGDN_NORMAL), String(u"a b.mp4"));
    EXPECT_EQ(NameOf(*desktop_, list, SHGDN_FORPARSING | SHGDN_INFOLDER), String(u"a b.mp4"));
    char16_t buffer[MAX_PATH];
    ASSERT_TRUE(SHGetPathFromIDListW(list, buffer));
    EXPECT_EQ(String(buffer), file);

    // Parsing goes by the text: a name that does not exist yet parses, with no attributes.
    ITEMIDLIST* missing = nullptr;
    attributes = SFGAO_FILESYSTEM;
    ASSERT_EQ(desktop_->ParseDisplayName(nullptr, nullptr, u"/home/u/视频/a b.mp4", nullptr, &missing, &attributes),
              S_OK);
    EXPECT_EQ(PathOfList(TItemIdListPtr(missing).get()), String(u"/home/u/视频/a b.mp4"));
    EXPECT_EQ(attributes, 0u);

    // The root itself; an empty name is none.
    const TItemIdListPtr root(ItemIdListFromPath(u"/"));
    EXPECT_EQ(NameOf(*desktop_, root.get(), SHGDN_FORPARSING), String(u"/"));
    EXPECT_EQ(NameOf(*desktop_, root.get(), SHGDN_NORMAL), String(u"/"));
    ITEMIDLIST* refused = reinterpret_cast<ITEMIDLIST*>(1);
    EXPECT_EQ(desktop_->ParseDisplayName(nullptr, nullptr, u"", nullptr, &refused, nullptr), E_INVALIDARG);
    EXPECT_EQ(refused, nullptr);
}

TEST_F(ShellFolderTest, EnumerationListsTheKindsAskedForSortedAndHidesDotNames) {
    const TIntfPtr<IShellFolder> folder = Bind(tree_.Path());
    ASSERT_TRUE(folder);
    struct TCase {
        DWORD flags;
        std::vector<String> names;
    };
    const TCase cases[] = {
        {SHCONTF_FOLDERS, {u"Music", u"视频"}},
        {SHCONTF_NONFOLDERS, {u"b.txt"}},
        {SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, {u"b.txt", u"Music", u"视频"}},
        {SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN, {u".config", u"Music", u"视频"}},
        {SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
         {u".config", u".hidden", u"b.txt", u"Music", u"视频"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.flags);
        EXPECT_EQ(Listed(*folder, c.flags), c.names);
    }

    // A bound folder answers relative lists: its own items name whole paths when parsed for.
    const TIntfPtr<IShellFolder> videos = Bind(tree_.Path("视频"));
    ASSERT_TRUE(videos);
    TIntfPtr<IEnumIDList> items;
    ASSERT_EQ(videos->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, items), S_OK);
    ITEMIDLIST* list[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(items->Next(3, list, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(NameOf(*videos, list[0], SHGDN_FORPARSING), tree_.Path("视频/a b.mp4"));
    EXPECT_EQ(NameOf(*videos, list[1], SHGDN_FORPARSING), tree_.Path("视频/sub folder"));
    ULONG attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
    EXPECT_EQ(videos->GetAttributesOf(1, &list[1], &attributes), S_OK);
    EXPECT_EQ(attributes, SFGAO_FOLDER);
    attributes = SFGAO_FOLDER;
    EXPECT_EQ(videos->GetAttributesOf(2, list, &attributes), S_OK);
    EXPECT_EQ(attributes, 0u) << "a file and a folder share no folder attribute";
    for (ITEMIDLIST* l : list) ILFree(l);

    // Reset, Skip and Clone keep their places.
    EXPECT_EQ(items->Reset(), S_OK);
    EXPECT_EQ(items->Skip(1), S_OK);
    TIntfPtr<IEnumIDList> copy;
    ASSERT_EQ(items->Clone(copy), S_OK);
    ITEMIDLIST* next = nullptr;
    ASSERT_EQ(copy->Next(1, &next, nullptr), S_OK);
    EXPECT_EQ(NameOf(*videos, TItemIdListPtr(next).get(), SHGDN_NORMAL), String(u"sub folder"));
    EXPECT_EQ(items->Skip(5), S_FALSE);

    // Only folders bind; a folder that is gone lists nothing.
    EXPECT_FALSE(Bind(tree_.Path("b.txt")));
    TIntfPtr<IShellFolder> gone = Bind(tree_.Path("Music"));
    ASSERT_TRUE(gone);
    std::filesystem::remove(tree_.Path("Music").ToUtf8());
    TIntfPtr<IEnumIDList> none;
    EXPECT_EQ(gone->EnumObjects(nullptr, SHCONTF_FOLDERS, none), E_FAIL);
    EXPECT_FALSE(none);
}

TEST_F(ShellFolderTest, ABoundFolderParsesNamesInsideItOnly) {
    const TIntfPtr<IShellFolder> folder = Bind(tree_.Path("视频"));
    ASSERT_TRUE(folder);
    ITEMIDLIST* list = nullptr;
    ASSERT_EQ(folder->ParseDisplayName(nullptr, nullptr, u"sub folder/../a b.mp4", nullptr, &list, nullptr), S_OK);
    EXPECT_EQ(NameOf(*folder, TItemIdListPtr(list).get(), SHGDN_FORPARSING), tree_.Path("视频/a b.mp4"));
    for (const char16_t* outside : {u"..", u"../b.txt", u"/etc"}) {
        SCOPED_TRACE(String(outside).ToUtf8());
        EXPECT_EQ(folder->ParseDisplayName(nullptr, nullptr, outside, nullptr, &list, nullptr), E_INVALIDARG);
    }
}

TEST(StrRetTest, EveryFormIsCopiedAndCutToTheBuffer) {
    STRRET wide;
    wide.uType = STRRET_WSTR;
    wide.pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof(u"视频文件夹")));
    std::memcpy(wide.pOleStr, u"视频文件夹", sizeof(u"视频文件夹"));
    char16_t buffer[4];
    EXPECT_EQ(StrRetToBufW(&wide, nullptr, buffer, 4), S_OK);
    EXPECT_EQ(String(buffer), String(u"视频文"));
    EXPECT_EQ(wide.pOleStr, nullptr) << "the block is freed";

    STRRET inline_;
    inline_.uType = STRRET_CSTR;
    std::strcpy(inline_.cStr, "名字");
    char16_t big[MAX_PATH];
    EXPECT_EQ(StrRetToBufW(&inline_, nullptr, big, MAX_PATH), S_OK);
    EXPECT_EQ(String(big), String(u"名字"));

    const TItemIdListPtr list(ItemIdListFromPath(u"/abc"));
    STRRET offset;
    offset.uType = STRRET_OFFSET;
    offset.uOffset = 2;
    EXPECT_EQ(StrRetToBufW(&offset, list.get(), big, MAX_PATH), S_OK);
    EXPECT_EQ(String(big), String(u"abc"));
    offset.uOffset = 100;
    EXPECT_EQ(StrRetToBufW(&offset, list.get(), big, MAX_PATH), E_INVALIDARG);
    EXPECT_EQ(StrRetToBufW(&inline_, nullptr, big, 0), E_INVALIDARG);
}

} // namespace
