#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "platform/win/Constants.h"
#include "platform/win/shell/SpecialFolders.h"

namespace {

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
        {CSIDL_MYMUSIC, home + u"/Music"},
        {CSIDL_PERSONAL, home + u"/Documents"},
        {CSIDL_MYDOCUMENTS, home + u"/Documents"},
        {CSIDL_DESKTOP, home + u"/Desktop"},
        {CSIDL_DESKTOPDIRECTORY, home + u"/Desktop"},
        {CSIDL_PROFILE, home},
        {CSIDL_APPDATA, tree_.Path("config")},
        {CSIDL_LOCAL_APPDATA, home + u"/.local/share"},
        {CSIDL_FONTS, home + u"/.local/share/fonts"},
        {CSIDL_TEMPLATES, home + u"/Templates"},
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

TEST_F(SpecialFolderTest, WithoutSettingsTheConventionalFoldersUnderHomeAnswer) {
    std::filesystem::remove(tree_.Path("config/user-dirs.dirs").ToUtf8());
    TShellEnvironmentScope relative("XDG_CONFIG_HOME", "config"); // a relative folder is not used
    const String home = tree_.Path("home");
    for (const auto& [csidl, path] : {std::pair{CSIDL_MYVIDEO, home + u"/Videos"},
                                      std::pair{CSIDL_APPDATA, home + u"/.config"}}) {
        char16_t buffer[MAX_PATH];
        ASSERT_EQ(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer), S_OK);
        EXPECT_EQ(String(buffer), path);
    }
}

} // namespace
