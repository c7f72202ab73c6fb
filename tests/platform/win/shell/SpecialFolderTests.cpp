#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "platform/win/Constants.h"
#include "platform/win/shell/SpecialFolders.h"
#include "platform/win/shell/UserFolders.h"

namespace {

TEST(UserFoldersTest, TheUserDirsTextIsReadAsDataLineByLine) {
    struct TCase {
        const char* text;
        TUserFolder folder;
        const char16_t* expected; // empty: not set
    };
    const TCase cases[] = {
        {"XDG_VIDEOS_DIR=\"$HOME/视频\"\n", TUserFolder::Videos, u"/home/u/视频"},
        {"  XDG_MUSIC_DIR = \"/srv/my music/\"\r\n", TUserFolder::Music, u"/srv/my music"},
        {"XDG_DESKTOP_DIR=\"$HOME\"", TUserFolder::Desktop, u"/home/u"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/a\\\"b\\\\c\"", TUserFolder::Documents, u"/home/u/a\"b\\c"},
        {"XDG_VIDEOS_DIR=\"$HOME/old\"\nXDG_VIDEOS_DIR=\"$HOME/new\"", TUserFolder::Videos, u"/home/u/new"},
        // Skipped: comments, other keys, relative values, shell syntax, unclosed quotes, other variables.
        {"# XDG_VIDEOS_DIR=\"$HOME/x\"", TUserFolder::Videos, u""},
        {"XDG_VIDEOS_DIR=\"$HOME/x\"", TUserFolder::Music, u""},
        {"XDG_VIDEOS_DIR=\"Videos\"", TUserFolder::Videos, u""},
        {"XDG_VIDEOS_DIR=$HOME/x", TUserFolder::Videos, u""},
        {"XDG_VIDEOS_DIR=\"$(rm -rf ~)\"", TUserFolder::Videos, u""},
        {"XDG_VIDEOS_DIR=\"$HOME/x", TUserFolder::Videos, u""},
        {"XDG_VIDEOS_DIR=\"$HOME/x\" extra", TUserFolder::Videos, u""},
        {"XDG_VIDEOS_DIR=\"$HOMEX/x\"", TUserFolder::Videos, u""},
        {"XDG_VIDEOS_DIRX=\"/x\"", TUserFolder::Videos, u""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(UserFolderFromText(c.text, c.folder, u"/home/u/"), String(c.expected));
    }
}

// A home folder with its own configuration, set through the environment.
class SpecialFolderTest : public ::testing::Test {
protected:
    SpecialFolderTest()
        : home_("HOME", tree_.Path("home").ToUtf8()), config_("XDG_CONFIG_HOME", tree_.Path("config").ToUtf8()),
          data_("XDG_DATA_HOME", std::nullopt) {
        tree_.Folder("home");
        tree_.Folder("config");
        tree_.File("config/user-dirs.dirs", "# written by the test\n"
                                            "XDG_VIDEOS_DIR=\"$HOME/视频\"\n"
                                            "XDG_PICTURES_DIR=\"/srv/pictures\"\n");
    }

    TShellTempTree tree_;
    TShellEnvironmentScope home_, config_, data_;
};

TEST_F(SpecialFolderTest, FoldersWithALinuxCounterpartAnswerTheirPaths) {
    const String home = tree_.Path("home");
    struct TCase {
        int csidl;
        String path;
    };
    const TCase cases[] = {
        {CSIDL_MYVIDEO, home + u"/视频"},
        {CSIDL_MYPICTURES, u"/srv/pictures"},
        {CSIDL_MYMUSIC, home},
        {CSIDL_PERSONAL, home},
        {CSIDL_MYDOCUMENTS, home},
        {CSIDL_DESKTOP, home + u"/Desktop"},
        {CSIDL_DESKTOPDIRECTORY, home + u"/Desktop"},
        {CSIDL_PROFILE, home},
        {CSIDL_APPDATA, tree_.Path("config")},
        {CSIDL_LOCAL_APPDATA, home + u"/.local/share"},
        {CSIDL_FONTS, home + u"/.local/share/fonts"},
        {CSIDL_TEMPLATES, home},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.csidl);
        char16_t buffer[MAX_PATH];
        ASSERT_EQ(SHGetFolderPathW(nullptr, c.csidl, nullptr, SHGFP_TYPE_CURRENT, buffer), S_OK);
        EXPECT_EQ(String(buffer), c.path);
        ITEMIDLIST* list = nullptr;
        ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, c.csidl, &list), S_OK);
        EXPECT_EQ(PathOfList(TItemIdListPtr(list).get()), c.path);
    }
}

TEST_F(SpecialFolderTest, OthersFailAndCreationIsAskedFor) {
    for (int csidl : {0x01 /* internet */, 0x03 /* control panel */, 0x24 /* windows */, 0x26 /* program files */}) {
        SCOPED_TRACE(csidl);
        char16_t buffer[MAX_PATH] = u"old";
        EXPECT_EQ(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer), E_INVALIDARG);
        EXPECT_EQ(buffer[0], u'\0');
        ITEMIDLIST* list = reinterpret_cast<ITEMIDLIST*>(1);
        EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, csidl, &list), E_INVALIDARG);
        EXPECT_EQ(list, nullptr);
    }

    const String videos = tree_.Path("home/视频");
    char16_t buffer[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_MYVIDEO, nullptr, SHGFP_TYPE_CURRENT, buffer), S_OK);
    EXPECT_FALSE(std::filesystem::exists(videos.ToUtf8())) << "only asked for";
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_MYVIDEO | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buffer), S_OK);
    EXPECT_TRUE(std::filesystem::is_directory(videos.ToUtf8()));
}

TEST_F(SpecialFolderTest, WithoutAUserDirsFileTheFoldersAreTheHomeFolderAndItsDesktop) {
    std::filesystem::remove(tree_.Path("config/user-dirs.dirs").ToUtf8());
    EXPECT_EQ(UserFolder(TUserFolder::Videos), tree_.Path("home"));
    EXPECT_EQ(UserFolder(TUserFolder::Download), tree_.Path("home"));
    EXPECT_EQ(UserFolder(TUserFolder::Desktop), tree_.Path("home/Desktop"));

    // A relative XDG_CONFIG_HOME is not used.
    TShellEnvironmentScope relative("XDG_CONFIG_HOME", "config");
    EXPECT_EQ(ConfigHomeFolder(), tree_.Path("home/.config"));
}

} // namespace
