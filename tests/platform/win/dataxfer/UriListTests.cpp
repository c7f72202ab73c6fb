#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>

#include "platform/win/dataxfer/UriList.h"

namespace {

TEST(UriListTest, DesktopListWithCommentsOtherSchemesAndNoFinalLineEnd) {
    const char* list =
        "# dragged from a file manager\r\n"
        "file:///tmp/%E8%A7%86%E9%A2%91%20a.mp4\r\n"
        "smb://x/y\r\n"
        "file:///home/u/b.mkv";
    EXPECT_EQ(LocalFilesFromUriList(list, "box"), (std::vector<String>{u"/tmp/视频 a.mp4", u"/home/u/b.mkv"}));
}

TEST(UriListTest, OneUriTable) {
    struct TCase {
        const char* uri;
        const char16_t* path; // null: skipped
    };
    const TCase cases[] = {
        {"file:///a/b", u"/a/b"},
        {"FILE:///a", u"/a"},
        {"file://localhost/a", u"/a"},
        {"file://LocalHost/a", u"/a"},
        {"file://box/a", u"/a"},
        {"file://BOX/a", u"/a"},
        {"file:/a", u"/a"},
        {"file://other/a", nullptr},
        {"file://localhost", nullptr},
        {"file:a/b", nullptr},
        {"http://localhost/a", nullptr},
        {"files:///a", nullptr},
        {"file:///a%2", nullptr},     // cut escape
        {"file:///a%zz", nullptr},    // not hex
        {"file:///a%00b", nullptr},   // NUL inside the path
        {"file:///a%FF", nullptr},    // not UTF-8
        {"file:///a%C0%AF", nullptr}, // overlong UTF-8
        {"file:///a%ED%A0%80", nullptr}, // surrogate
        {"file:///a%25b", u"/a%b"},
        {"file:///a%F0%9F%8E%AC", u"/a\U0001F3AC"},
        {"file:///a?x=1", u"/a"},
        {"file:///a#frag", u"/a"},
        {"  file:///a  ", u"/a"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.uri);
        const auto paths = LocalFilesFromUriList(c.uri, "box");
        if (c.path)
            EXPECT_EQ(paths, std::vector<String>{String(c.path)});
        else
            EXPECT_TRUE(paths.empty());
    }
}

TEST(UriListTest, LineEndsEmptyLinesAndThisHost) {
    EXPECT_EQ(LocalFilesFromUriList("file:///a\n\n\r\nfile:///b\n", "box"), (std::vector<String>{u"/a", u"/b"}));
    EXPECT_TRUE(LocalFilesFromUriList("", "box").empty());
    EXPECT_TRUE(LocalFilesFromUriList("#file:///a", "box").empty());
    char host[HOST_NAME_MAX + 1] = {};
    ASSERT_EQ(gethostname(host, sizeof host - 1), 0);
    EXPECT_EQ(LocalFilesFromUriList(std::string("file://") + host + "/here"), std::vector<String>{u"/here"});
}

} // namespace
