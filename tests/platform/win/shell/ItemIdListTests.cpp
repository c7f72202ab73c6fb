#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win/Constants.h"
#include "platform/win/shell/ItemIdLists.h"
#include "ShellFixture.h"

namespace {

TEST(ItemIdListTest, AbsolutePathsBecomeOneItemPerComponent) {
    struct TCase {
        const char16_t* path;
        const char16_t* back; // null: refused
        std::vector<std::string> components;
    };
    const TCase cases[] = {
        {u"/", u"/", {}},
        {u"/home/u/视频/a b.mp4", u"/home/u/视频/a b.mp4", {"home", "u", "视频", "a b.mp4"}},
        {u"//home///u/", u"/home/u", {"home", "u"}},
        {u"/a/./b/../c", u"/a/c", {"a", "c"}},
        {u"/..", u"/", {}},
        {u"relative/path", nullptr, {}},
        {u"", nullptr, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(String(c.path).ToUtf8());
        const TItemIdListPtr list(ItemIdListFromPath(c.path));
        if (!c.back) {
            EXPECT_EQ(list, nullptr);
            continue;
        }
        ASSERT_NE(list, nullptr);
        std::vector<std::string> components;
        ASSERT_TRUE(ItemIdListComponents(list.get(), components));
        EXPECT_EQ(components, c.components);
        EXPECT_EQ(PathOfList(list.get()), String(c.back));
        size_t expectedSize = 2;
        for (const std::string& name : c.components) expectedSize += 2 + name.size();
        EXPECT_EQ(ILGetSize(list.get()), expectedSize);

        char16_t buffer[MAX_PATH];
        ASSERT_TRUE(SHGetPathFromIDListW(list.get(), buffer));
        EXPECT_EQ(String(buffer), String(c.back));
    }
}

TEST(ItemIdListTest, ALongPathRoundTripsWholeButDoesNotFitTheFixedBuffer) {
    String path;
    while (path.size() < 300) path += u"/folder-名字";
    const TItemIdListPtr list(ItemIdListFromPath(path));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(PathOfList(list.get()), path);

    // The buffer is MAX_PATH long inside a guarded block: nothing is written past it.
    std::vector<char16_t> block(MAX_PATH + 16, u'#');
    EXPECT_FALSE(SHGetPathFromIDListW(list.get(), block.data()));
    EXPECT_EQ(block[0], u'\0');
    for (size_t i = MAX_PATH; i < block.size(); ++i) EXPECT_EQ(block[i], u'#') << i;

    // Exactly MAX_PATH - 1 characters still fit.
    const String fits = u"/" + String(size_t(MAX_PATH - 2), u'x');
    const TItemIdListPtr fitting(ItemIdListFromPath(fits));
    ASSERT_TRUE(SHGetPathFromIDListW(fitting.get(), block.data()));
    EXPECT_EQ(String(block.data()), fits);
    const TItemIdListPtr tooLong(ItemIdListFromPath(fits + u"y"));
    EXPECT_FALSE(SHGetPathFromIDListW(tooLong.get(), block.data()));
}

TEST(ItemIdListTest, ListsAreShellAllocatorBlocksThatCloneAndCombine) {
    const TItemIdListPtr folder(ItemIdListFromPath(u"/home/u"));
    const TItemIdListPtr child(ItemIdListFromComponents(std::vector<std::string>{"视频", "x"}));
    const TItemIdListPtr combined(ILCombine(folder.get(), child.get()));
    EXPECT_EQ(PathOfList(combined.get()), String(u"/home/u/视频/x"));
    const TItemIdListPtr clone(ILClone(combined.get()));
    ASSERT_NE(clone.get(), combined.get());
    EXPECT_EQ(ILGetSize(clone.get()), ILGetSize(combined.get()));
    EXPECT_EQ(std::memcmp(clone.get(), combined.get(), ILGetSize(clone.get())), 0);

    TIntfPtr<IMalloc> malloc;
    ASSERT_EQ(SHGetMalloc(malloc), S_OK);
    for (ITEMIDLIST* list : {folder.get(), combined.get(), clone.get()}) EXPECT_GT(malloc->DidAlloc(list), 0);

    // Combining with an empty or absent part keeps the other.
    const TItemIdListPtr root(ItemIdListFromPath(u"/"));
    EXPECT_EQ(PathOfList(TItemIdListPtr(ILCombine(root.get(), child.get())).get()), String(u"/视频/x"));
    EXPECT_EQ(PathOfList(TItemIdListPtr(ILCombine(folder.get(), nullptr)).get()), String(u"/home/u"));
    EXPECT_EQ(ILClone(nullptr), nullptr);
    EXPECT_TRUE(ILIsEmpty(root.get()));
    EXPECT_EQ(PathOfList(ILGetNext(folder.get())), String(u"/u"));
}

TEST(ItemIdListTest, ItemsThatNameNoComponentAreRefused) {
    // Hand-made lists: an item holding '/', one holding "..", an item of count 2.
    const std::vector<std::vector<uint8_t>> bad = {
        {5, 0, 'a', '/', 'b', 0, 0},
        {4, 0, '.', '.', 0, 0},
        {2, 0, 0, 0},
    };
    for (const std::vector<uint8_t>& bytes : bad) {
        const auto* list = reinterpret_cast<const ITEMIDLIST*>(bytes.data());
        String path = u"kept";
        EXPECT_FALSE(GetPathFromIDList(list, path));
        EXPECT_EQ(path, String(u"kept"));
        char16_t buffer[MAX_PATH] = u"old";
        EXPECT_FALSE(SHGetPathFromIDListW(list, buffer));
        EXPECT_EQ(buffer[0], u'\0');
    }
    EXPECT_EQ(ItemIdListFromComponents(std::vector<std::string>{"a", ""}), nullptr);
    EXPECT_EQ(ItemIdListFromComponents(std::vector<std::string>{std::string(70000, 'a')}), nullptr);
    EXPECT_FALSE(SHGetPathFromIDListW(nullptr, nullptr));
}

} // namespace
