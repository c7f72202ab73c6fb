// The desktop's icon theme through Qt: Adwaita (installed with the program)
// from the desktop's folders, and no theme at all from an empty folder.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/win/backend/qt/QtFileIconTheme.h"
#include "platform/win/shell/IconPixels.h"

namespace {

constexpr int kSize = 16;

std::vector<uint32_t> Artwork(TFileIconKind kind) { return TakeIconPixels(ArtworkIcon(kind, kSize)); }

const struct {
    const char16_t* path;
    bool folder;
    const char16_t* mimeType;
    TFileIconKind kind;
} kFiles[] = {
    {u"/视频/电影2.mkv", false, u"video/x-matroska", TFileIconKind::Video},
    {u"/视频/假期.MP4", false, u"video/mp4", TFileIconKind::Video},
    {u"/音乐/歌.mp3", false, u"audio/mpeg", TFileIconKind::Audio},
    {u"/照片/海边.png", false, u"image/png", TFileIconKind::Image},
    {u"/文档/说明.txt", false, u"text/plain", TFileIconKind::File},
    {u"/文档/笔记", false, u"application/octet-stream", TFileIconKind::File},
    {u"/home/u/视频", true, u"inode/directory", TFileIconKind::Folder},
};

TEST(QtFileIconTheme, TheThemeGivesEachMimeTypeAndPlaceItsPicture) {
    TQtFileIconTheme theme;
    const TFileIconThemeScope installed(theme);
    for (const auto& file : kFiles) {
        SCOPED_TRACE(String(file.path));
        EXPECT_EQ(FileMimeType(file.path, file.folder), file.mimeType);
        const std::vector<uint32_t> pixels = TakeIconPixels(MimeTypeIcon(file.mimeType, kSize));
        EXPECT_EQ(pixels.size(), size_t(kSize * kSize));
        EXPECT_NE(pixels, Artwork(file.kind)) << "the theme's picture, not our artwork";
    }
    EXPECT_NE(TakeIconPixels(MimeTypeIcon(u"video/mp4", kSize)), TakeIconPixels(MimeTypeIcon(u"audio/mpeg", kSize)));
    EXPECT_NE(TakeIconPixels(PlaceIcon(u"folder-videos", kSize)), TakeIconPixels(PlaceIcon(u"user-home", kSize)));
    EXPECT_EQ(TakeIconPixels(PlaceIcon(u"no-such-place", kSize)), Artwork(TFileIconKind::Folder));
}

TEST(QtFileIconTheme, WithoutAThemeOurArtworkShowsTheKindOfTheMimeType) {
    QTemporaryDir empty;
    TQtFileIconTheme theme({empty.path()});
    const TFileIconThemeScope installed(theme);
    for (const auto& file : kFiles) {
        SCOPED_TRACE(String(file.path));
        EXPECT_EQ(FileMimeType(file.path, file.folder), file.mimeType);
        EXPECT_EQ(TakeIconPixels(MimeTypeIcon(file.mimeType, kSize)), Artwork(file.kind));
    }
    EXPECT_EQ(TakeIconPixels(PlaceIcon(u"folder-videos", kSize)), Artwork(TFileIconKind::Folder));
    // Every kind has a picture of its own at every size the artwork is drawn in.
    for (const int size : {16, 32, 48}) {
        std::vector<std::vector<uint32_t>> pictures;
        for (const auto kind : {TFileIconKind::Folder, TFileIconKind::Video, TFileIconKind::Audio, TFileIconKind::Image,
                                TFileIconKind::File}) {
            pictures.push_back(TakeIconPixels(ArtworkIcon(kind, size)));
            EXPECT_EQ(pictures.back().size(), size_t(size * size));
        }
        for (size_t i = 0; i < pictures.size(); ++i)
            for (size_t j = i + 1; j < pictures.size(); ++j) EXPECT_NE(pictures[i], pictures[j]) << size;
    }
}

} // namespace
