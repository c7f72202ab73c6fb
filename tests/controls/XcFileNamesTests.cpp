#include <gtest/gtest.h>

#include <fstream>

#include "controls/XcFileNames.h"
#include "platform/rtl/DataFolder.h"
#include "platform/rtl/Files.h"

TEST(XcFileNamesTest, AnyNameWithoutNulIsValid) {
    EXPECT_TRUE(IsValidFileName(u"/home/u/视频 a?.mp4"));
    EXPECT_TRUE(IsValidFileName(u"a:b.txt"));
    EXPECT_TRUE(IsValidFileName(u"a?b*|<>\""));
    EXPECT_FALSE(IsValidFileName(u""));
    EXPECT_FALSE(IsValidFileName(String(u"a\0b", 3)));
}

TEST(XcFileNamesTest, LongAndShortNamesAreTheNameOfAnExistingFile) {
    const String folder = IncludeTrailingPathDelimiter(DataFolder());
    const String path = folder + u"视频 clip.mp4";
    ASSERT_TRUE(ForceDirectories(folder));
    std::ofstream(path.ToUtf8()) << "x";
    EXPECT_EQ(LongNameOfFile(path), String(u"视频 clip.mp4"));
    EXPECT_EQ(ShortNameOfFile(path), String(u"视频 clip.mp4"));
    EXPECT_EQ(LongNameOfFile(folder + u"missing.mp4"), String());
    EXPECT_EQ(ShortNameOfFile(folder + u"missing.mp4"), String());
    DeleteFile(path);
    EXPECT_EQ(ExpandLongPath(u"/a/b c/d"), String(u"/a/b c/d"));
    EXPECT_EQ(ContractShortPath(u"/a/b c/d"), String(u"/a/b c/d"));
}
