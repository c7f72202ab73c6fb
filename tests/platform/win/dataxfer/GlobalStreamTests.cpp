#include <gtest/gtest.h>

#include <string>

#include "platform/rtl/TaskAllocator.h"
#include "platform/win/dataxfer/DataTransfer.h"
#include "platform/win/dataxfer/Media.h"

namespace {

TIntfPtr<IStream> StreamOver(std::string_view bytes, HGLOBAL* memory = nullptr) {
    HGLOBAL block = GlobalFromBytes(bytes);
    TIntfPtr<IStream> stream;
    EXPECT_EQ(CreateStreamOnHGlobal(block, TRUE, stream), S_OK);
    if (memory) *memory = block;
    return stream;
}

std::string ReadAll(IStream& stream, ULONG count) {
    std::string text(count, '\0');
    ULONG read = 0;
    EXPECT_EQ(stream.Read(text.data(), count, &read), S_OK);
    text.resize(read);
    return text;
}

uint64_t Position(IStream& stream) {
    uint64_t position = 0;
    stream.Seek(0, STREAM_SEEK_CUR, &position);
    return position;
}

TEST(GlobalStreamTest, ReadStopsAtTheEnd) {
    auto stream = StreamOver("hello world");
    EXPECT_EQ(ReadAll(*stream, 5), "hello");
    EXPECT_EQ(ReadAll(*stream, 100), " world");
    EXPECT_EQ(ReadAll(*stream, 100), "");
    ULONG read = 99;
    EXPECT_EQ(stream->Read(nullptr, 0, &read), S_OK);
    EXPECT_EQ(read, 0u);
}

TEST(GlobalStreamTest, SeekTable) {
    struct TCase {
        uint64_t from;
        int64_t move;
        DWORD origin;
        HRESULT result;
        uint64_t position; // afterwards
    };
    const TCase cases[] = {
        {3, 2, STREAM_SEEK_SET, S_OK, 2},
        {3, 2, STREAM_SEEK_CUR, S_OK, 5},
        {3, -2, STREAM_SEEK_END, S_OK, 8},
        {3, 5, STREAM_SEEK_END, S_OK, 15}, // past the end is allowed
        {3, -4, STREAM_SEEK_CUR, STG_E_INVALIDFUNCTION, 3},
        {3, -11, STREAM_SEEK_END, STG_E_INVALIDFUNCTION, 3},
        {3, INT64_MAX, STREAM_SEEK_CUR, STG_E_INVALIDFUNCTION, 3}, // overflow
        {3, 0, 7, STG_E_INVALIDFUNCTION, 3},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "move " << c.move << " origin " << c.origin);
        auto stream = StreamOver("0123456789");
        stream->Seek(int64_t(c.from), STREAM_SEEK_SET, nullptr);
        uint64_t position = 12345;
        EXPECT_EQ(stream->Seek(c.move, c.origin, &position), c.result);
        EXPECT_EQ(Position(*stream), c.position);
        if (c.result == S_OK) { EXPECT_EQ(position, c.position); }
    }
}

TEST(GlobalStreamTest, WritePastTheEndGrowsTheBlockWithZeros) {
    HGLOBAL memory;
    auto stream = StreamOver("ab", &memory);
    stream->Seek(4, STREAM_SEEK_SET, nullptr);
    ULONG written = 0;
    EXPECT_EQ(stream->Write("xy", 2, &written), S_OK);
    EXPECT_EQ(written, 2u);
    EXPECT_EQ(*BytesOfGlobal(memory), (TBytes{'a', 'b', 0, 0, 'x', 'y'}));
    STATSTG stat;
    EXPECT_EQ(stream->Stat(stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize, 6u);
    EXPECT_EQ(stat.type, STGTY_STREAM);
    EXPECT_EQ(stat.pwcsName, nullptr);
    // A write that would pass the largest block fails without changing anything.
    stream->Seek(int64_t(kMaxGlobalSize), STREAM_SEEK_SET, nullptr);
    EXPECT_EQ(stream->Write("z", 1, &written), STG_E_MEDIUMFULL);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(GlobalSize(memory), 6u);
}

TEST(GlobalStreamTest, SetSizeCutsAndGrows) {
    HGLOBAL memory;
    auto stream = StreamOver("abcdef", &memory);
    EXPECT_EQ(stream->SetSize(3), S_OK);
    EXPECT_EQ(*BytesOfGlobal(memory), (TBytes{'a', 'b', 'c'}));
    EXPECT_EQ(stream->SetSize(5), S_OK);
    EXPECT_EQ(*BytesOfGlobal(memory), (TBytes{'a', 'b', 'c', 0, 0}));
    EXPECT_EQ(stream->SetSize(kMaxGlobalSize + 1), STG_E_MEDIUMFULL);
}

TEST(GlobalStreamTest, CloneSharesTheBlockWithItsOwnPosition) {
    HGLOBAL memory;
    auto stream = StreamOver("abcdef", &memory);
    ReadAll(*stream, 2);
    TIntfPtr<IStream> clone;
    ASSERT_EQ(stream->Clone(clone), S_OK);
    EXPECT_EQ(ReadAll(*clone, 2), "cd");
    EXPECT_EQ(ReadAll(*stream, 1), "c");
    clone->Write("!", 1, nullptr);
    EXPECT_EQ(*BytesOfGlobal(memory), (TBytes{'a', 'b', 'c', 'd', '!', 'f'}));
    HGLOBAL fromClone = nullptr;
    EXPECT_EQ(GetHGlobalFromStream(clone.get(), &fromClone), S_OK);
    EXPECT_EQ(fromClone, memory);
    // The block lives until the last stream on it goes.
    stream.Reset();
    EXPECT_EQ(GlobalSize(memory), 6u);
    clone.Reset();
    EXPECT_EQ(GlobalSize(memory), 0u);
}

TEST(GlobalStreamTest, BlockIsKeptWithoutDeleteOnRelease) {
    HGLOBAL memory = GlobalFromBytes("kept");
    {
        TIntfPtr<IStream> stream;
        ASSERT_EQ(CreateStreamOnHGlobal(memory, FALSE, stream), S_OK);
    }
    EXPECT_EQ(GlobalSize(memory), 4u);
    GlobalFree(memory);
    TIntfPtr<IStream> stream;
    EXPECT_EQ(CreateStreamOnHGlobal(memory, FALSE, stream), E_INVALIDARG); // freed handle
    EXPECT_FALSE(stream);
}

TEST(GlobalStreamTest, CopyToMovesBothPositions) {
    auto source = StreamOver("0123456789");
    TIntfPtr<IStream> target;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, target), S_OK);
    source->Seek(2, STREAM_SEEK_SET, nullptr);
    uint64_t read = 0, written = 0;
    EXPECT_EQ(source->CopyTo(target.get(), 5, &read, &written), S_OK);
    EXPECT_EQ(read, 5u);
    EXPECT_EQ(written, 5u);
    EXPECT_EQ(Position(*source), 7u);
    EXPECT_EQ(Position(*target), 5u);
    EXPECT_EQ(source->CopyTo(target.get(), 100, &read, &written), S_OK);
    EXPECT_EQ(read, 3u);
    HGLOBAL memory = nullptr;
    ASSERT_EQ(GetHGlobalFromStream(target.get(), &memory), S_OK);
    EXPECT_EQ(*BytesOfGlobal(memory), (TBytes{'2', '3', '4', '5', '6', '7', '8', '9'}));
}

TEST(GlobalStreamTest, UnsupportedOperationsAndForeignStreams) {
    auto stream = StreamOver("x");
    EXPECT_EQ(stream->Revert(), E_NOTIMPL);
    EXPECT_EQ(stream->LockRegion(0, 1, 0), E_NOTIMPL);
    EXPECT_EQ(stream->UnlockRegion(0, 1, 0), E_NOTIMPL);
    EXPECT_EQ(GetHGlobalFromStream(nullptr, nullptr), E_INVALIDARG);
    HGLOBAL memory = reinterpret_cast<HGLOBAL>(1);
    EXPECT_EQ(GetHGlobalFromStream(nullptr, &memory), E_INVALIDARG);
    EXPECT_EQ(memory, nullptr);
    TIntfPtr<IInterface> none;
    EXPECT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, none), E_NOTIMPL);
}

TEST(GlobalStreamTest, ReleaseStgMediumFreesWhatTheMediumOwns) {
    STGMEDIUM global;
    global.tymed = TYMED_HGLOBAL;
    global.hGlobal = GlobalFromBytes("abc");
    HGLOBAL memory = global.hGlobal;
    ReleaseStgMedium(&global);
    EXPECT_EQ(GlobalSize(memory), 0u);
    EXPECT_EQ(global.tymed, TYMED_NULL);

    auto stream = StreamOver("abc");
    STGMEDIUM streamed;
    streamed.tymed = TYMED_ISTREAM;
    streamed.pstm = stream.get();
    stream->_AddRef();
    auto bytes = BytesOfMedium(streamed);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, (TBytes{'a', 'b', 'c'}));
    ReleaseStgMedium(&streamed);
    EXPECT_EQ(streamed.pstm, nullptr);
}

} // namespace
