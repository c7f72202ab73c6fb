#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "FreshTestFolder.h"
#include "platform/rtl/DataFolder.h"
#include "platform/rtl/UserFolders.h"

namespace {

TEST(UserFolders, TheUserDirsFileNamesFoldersUnderHomeOrAbsolute) {
    const char* text = "# written by the desktop\n"
                       "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n"
                       "XDG_VIDEOS_DIR = \"/media/films\"\n"
                       "XDG_MUSIC_DIR=\"$HOME/My \\\"Music\\\"/\"\n"
                       "XDG_PICTURES_DIR=relative\n"
                       "XDG_DOWNLOAD_DIR=\"Downloads\"\n"
                       "XDG_TEMPLATES_DIR=\"$HOMEX/t\"\n";
    const struct {
        TUserFolder kind;
        const char16_t* expected;
    } cases[] = {
        {TUserFolder::ufDesktop, u"/home/u/桌面"},
        {TUserFolder::ufVideos, u"/media/films"},
        {TUserFolder::ufMusic, u"/home/u/My \"Music\""},
        {TUserFolder::ufPictures, u""},
        {TUserFolder::ufDownload, u""},
        {TUserFolder::ufTemplates, u""}, // "$HOME" must stand alone
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.kind));
        EXPECT_EQ(ParseUserFolder(text, c.kind, u"/home/u"), String(c.expected));
    }
}

TEST(UserFolders, TheFileIsReadFromXdgConfigHomeWithDefaultsForMissingEntries) {
    const std::filesystem::path config = FreshTestFolder("userdirs");
    std::ofstream(config / "user-dirs.dirs") << "XDG_VIDEOS_DIR=\"/srv/视频\"\nXDG_MUSIC_DIR=\"$HOME/\"\n";
    const char* before = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = before ? before : "";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    EXPECT_EQ(UserFolder(TUserFolder::ufVideos), u"/srv/视频");
    EXPECT_EQ(UserFolder(TUserFolder::ufMusic), HomeFolder() + u"/Music") << "an entry naming home itself";
    EXPECT_EQ(UserFolder(TUserFolder::ufPictures), HomeFolder() + u"/Pictures");
    if (before) setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
}

} // namespace
