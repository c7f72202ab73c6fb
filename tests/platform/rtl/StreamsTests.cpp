#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

namespace {

String TempPath(const char* name) { return String(std::getenv("OSTREL_HOME")) + "/" + name; }

std::string ReadAll(TStream& s) {
    std::string out(static_cast<size_t>(s.Size()), '\0');
    s.SetPosition(0);
    s.ReadBuffer(out.data(), s.Size());
    return out;
}

} // namespace

TEST(MemoryStreamTest, WriteSeekReadAndResize) {
    TMemoryStream m;
    m.WriteBuffer("hello world", 11);
    EXPECT_EQ(m.Position(), 11);
    m.Seek(-5, soEnd);
    m.WriteBuffer("there!", 6); // overwrites the tail and grows
    EXPECT_EQ(ReadAll(m), "hello there!");
    m.SetPosition(20); // past the end: the next write fills the gap with zeros
    m.WriteBuffer("x", 1);
    EXPECT_EQ(ReadAll(m), std::string("hello there!\0\0\0\0\0\0\0\0x", 21));
    m.SetSize(5);
    EXPECT_EQ(m.Position(), 5);
    EXPECT_EQ(std::string(static_cast<const char*>(m.Memory()), 5), "hello");
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
    EXPECT_EQ(m.Position(), 0);
    EXPECT_THROW(m.Seek(-1, soBeginning), EStreamError);
}

TEST(MemoryStreamTest, PositionsBeyondTheLargestOffsetRaise) {
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    struct Case {
        int64_t start, offset;
        TSeekOrigin origin;
    };
    const Case cases[] = {
        {kMax, 1, soCurrent}, {1, kMax, soCurrent}, {0, kMax, soEnd}, {0, kMax - 2, soEnd},
    };
    for (const Case& c : cases) {
        TBytesStream s(TBytes{1, 2, 3});
        s.SetPosition(c.start);
        EXPECT_THROW(s.Seek(c.offset, c.origin), EStreamError) << c.start << " " << c.offset;
        EXPECT_EQ(s.Position(), c.start);
    }
    TBytesStream s(TBytes{1, 2, 3});
    EXPECT_EQ(s.Seek(kMax - 3, soEnd), kMax);
    EXPECT_THROW(s.WriteBuffer("x", 1), EWriteError);
    s.SetPosition(kMax - 1);
    EXPECT_THROW(s.WriteBuffer("xy", 2), EWriteError);
    EXPECT_EQ(s.Size(), 3);
    uint8_t buf[1];
    EXPECT_EQ(s.Read(buf, 1), 0);
}

TEST(MemoryStreamTest, ShortReadBufferRaisesReadError) {
    TBytesStream s(TBytes{1, 2, 3});
    uint8_t buf[4] = {};
    EXPECT_THROW(s.ReadBuffer(buf, 4), EReadError);
    s.SetPosition(0);
    EXPECT_EQ(s.Read(buf, 4), 3);
    EXPECT_EQ(s.Read(buf, 4), 0);
}

TEST(MemoryStreamTest, FileAndStreamRoundTrips) {
    const String path = TempPath("mem.bin");
    TBytes data(100000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
    TBytesStream(data).SaveToFile(path);

    TMemoryStream loaded;
    loaded.LoadFromFile(path);
    TBytesStream copy;
    loaded.SaveToStream(copy);
    EXPECT_EQ(copy.Bytes(), data);

    TBytesStream again;
    again.CopyFrom(copy, 0);
    EXPECT_EQ(again.Bytes(), data);
}

TEST(StringStreamTest, CodePagesAndPartialReads) {
    TStringStream utf8(u"中文 text");
    EXPECT_EQ(utf8.Size(), 11);
    EXPECT_EQ(utf8.ReadString(3), u"中");
    EXPECT_EQ(utf8.ReadString(100), u"文 text");
    utf8.WriteString(u"!");
    EXPECT_EQ(utf8.DataString(), u"中文 text!");

    TStringStream gbk(u"中文", 936);
    EXPECT_EQ(gbk.Bytes(), (TBytes{0xD6, 0xD0, 0xCE, 0xC4}));
    EXPECT_EQ(gbk.DataString(), u"中文");
}

TEST(FileStreamTest, OpenModesAndErrors) {
    const String path = TempPath("modes.txt");
    {
        TFileStream f(path, fmCreate | fmShareExclusive);
        f.WriteBuffer("abcdef", 6);
    }
    {
        TFileStream f(path, fmOpenReadWrite | fmShareDenyNone);
        f.Seek(2, soBeginning);
        f.WriteBuffer("XY", 2);
        f.SetSize(5);
        EXPECT_EQ(ReadAll(f), "abXYe");
    }
    {
        TFileStream f(path, fmOpenRead);
        EXPECT_EQ(f.Write("z", 1), 0);
        EXPECT_THROW(f.WriteBuffer("z", 1), EWriteError);
    }
    try {
        TFileStream f(TempPath("missing/x.txt"), fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + TempPath("missing/x.txt") + "\". No such file or directory");
    }
    try {
        TFileStream f(TempPath("missing/x.txt"), fmCreate);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + TempPath("missing/x.txt") + "\". No such file or directory");
    }
}

// A folder opens for reading on Linux and then reports a size of 2^63 - 1.
TEST(FileStreamTest, AFolderIsNoFile) {
    const String folder = TempPath("");
    try {
        TFileStream f(folder, fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + folder + "\". Is a directory");
    }
    TMemoryStream m;
    EXPECT_THROW(m.LoadFromFile(folder), EFOpenError);
}

TEST(FileStreamTest, SeeksAndWritesPastFourGigabytes) {
    const String path = TempPath("sparse.bin");
    constexpr int64_t k5GiB = int64_t{5} << 30;
    {
        TFileStream f(path, fmCreate);
        f.SetSize(k5GiB);
        EXPECT_EQ(f.Size(), k5GiB);
        EXPECT_EQ(f.Seek(k5GiB - 4, soBeginning), k5GiB - 4);
        f.WriteBuffer("tail", 4);
        EXPECT_EQ(f.Size(), k5GiB);
        f.Seek(k5GiB, soBeginning);
        f.WriteBuffer("more", 4);
    }
    TFileStream f(path, fmOpenRead);
    EXPECT_EQ(f.Size(), k5GiB + 4);
    EXPECT_EQ(f.Seek(-8, soEnd), k5GiB - 4);
    char buf[8];
    f.ReadBuffer(buf, 8);
    EXPECT_EQ(std::string(buf, 8), "tailmore");
    f.Seek(int64_t{1} << 32, soBeginning);
    f.ReadBuffer(buf, 1);
    EXPECT_EQ(buf[0], 0);
    std::filesystem::remove(path.ToUtf8());
}
