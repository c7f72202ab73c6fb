// Blocks travel on global memory or streams: empty blocks read without
// decoding, streams that cannot tell their size or end early yield nothing,
// and a stream written here reads from its start without a seek.

#include <cstring>

#include "DragDropFixture.h"
#include "controls/dragdrop/FeedbackFormats.h"
#include "controls/dragdrop/FileFormats.h"
#include "platform/win/dataxfer/DropFiles.h"
#include "platform/win/dataxfer/Media.h"

namespace {

// A format recording whether it was asked to decode.
class TMediaTestFormat : public TCustomDWORDClipboardFormat {
public:
    TMediaTestFormat() : TCustomDWORDClipboardFormat(CF_TEXT) {}
    bool DecodeBlock(const uint8_t* data, size_t size) override {
        decoded = true;
        return TCustomDWORDClipboardFormat::DecodeBlock(data, size);
    }
    bool decoded = false;
};

// A stream over Bytes whose Stat fails when asked, or that reports a larger size than it holds.
class TMediaTestStream : public TImplements<TInterfacedObject, IStream> {
public:
    TMediaTestStream(std::string bytes, bool statFails, uint64_t reportedSize)
        : bytes_(std::move(bytes)), statFails_(statFails), reportedSize_(reportedSize) {}
    HRESULT Read(void* buffer, ULONG count, ULONG* read) override {
        const ULONG n = static_cast<ULONG>(std::min<size_t>(count, bytes_.size() - position_));
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        if (read) *read = n;
        return S_OK;
    }
    HRESULT Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT Seek(int64_t move, DWORD origin, uint64_t* newPosition) override {
        if (origin != STREAM_SEEK_SET) return E_NOTIMPL;
        position_ = static_cast<size_t>(move);
        if (newPosition) *newPosition = position_;
        return S_OK;
    }
    HRESULT SetSize(uint64_t) override { return E_NOTIMPL; }
    HRESULT CopyTo(IStream*, uint64_t, uint64_t*, uint64_t*) override { return E_NOTIMPL; }
    HRESULT Commit(DWORD) override { return S_OK; }
    HRESULT Revert() override { return S_OK; }
    HRESULT LockRegion(uint64_t, uint64_t, DWORD) override { return E_NOTIMPL; }
    HRESULT UnlockRegion(uint64_t, uint64_t, DWORD) override { return E_NOTIMPL; }
    HRESULT Stat(STATSTG& stat, DWORD) override {
        if (statFails_) return E_FAIL;
        stat.cbSize = reportedSize_;
        return S_OK;
    }
    HRESULT Clone(TIntfPtr<IStream>&) override { return E_NOTIMPL; }

private:
    std::string bytes_;
    size_t position_ = 0;
    bool statFails_;
    uint64_t reportedSize_;
};

STGMEDIUM StreamMedium(std::string bytes, bool statFails, uint64_t reportedSize) {
    STGMEDIUM medium;
    medium.tymed = TYMED_ISTREAM;
    medium.pstm = MakeIntf<TMediaTestStream>(std::move(bytes), statFails, reportedSize).Detach();
    return medium;
}

STGMEDIUM GlobalMedium(const std::string& bytes) {
    STGMEDIUM medium;
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = bytes.empty() ? GlobalAlloc(GHND, 0) : GlobalFromBytes(bytes);
    return medium;
}

std::string ReadAll(IStream& stream) {
    std::string bytes;
    char buffer[64];
    ULONG read = 0;
    while (stream.Read(buffer, sizeof buffer, &read) == S_OK && read > 0) bytes.append(buffer, read);
    return bytes;
}

} // namespace

TEST(SimpleClipboardFormatTest, ReadsWholeBlocksFromEitherMedium) {
    const std::string four("\x07\0\0\0", 4);
    struct Case {
        const char* what;
        STGMEDIUM medium;
        bool read;
        bool decoded;
        DWORD value;
    } cases[] = {
        {"an empty global block", GlobalMedium(""), true, false, 0},
        {"a global block", GlobalMedium(four), true, true, 7},
        {"a stream without a size", StreamMedium(four, true, 4), false, false, 0},
        {"an empty stream", StreamMedium("", false, 0), true, false, 0},
        {"a stream", StreamMedium(four, false, 4), true, true, 7},
        {"a stream ending early", StreamMedium(four, false, 8), false, false, 0},
        {"a stream too large to hold", StreamMedium(four, false, uint64_t{1} << 40), false, false, 0},
    };
    for (Case& c : cases) {
        TMediaTestFormat format;
        const auto data = MakeIntf<TStoredDataObject>();
        EXPECT_EQ(format.ReadFromMedium(*data, c.medium), c.read) << c.what;
        EXPECT_EQ(format.decoded, c.decoded) << c.what;
        EXPECT_EQ(format.Value(), c.value) << c.what;
        ReleaseStgMedium(&c.medium);
    }
}

TEST(SimpleClipboardFormatTest, WritesAStreamWhenOneIsNamedElseAGlobalBlock) {
    TPerformedDropEffectClipboardFormat format;
    format.SetValue(DROPEFFECT_COPY);
    const std::string expected("\x01\0\0\0", 4);

    FORMATETC both = format.FormatEtc();
    STGMEDIUM medium;
    ASSERT_TRUE(format.SetDataToMedium(both, medium));
    ASSERT_EQ(medium.tymed, TYMED_ISTREAM);
    uint64_t position = 0;
    // The stream is left at its end, yet a plain read starts at its first byte.
    TFixedStreamAdapter* adapter = dynamic_cast<TFixedStreamAdapter*>(medium.pstm);
    ASSERT_NE(adapter, nullptr);
    EXPECT_EQ(ReadAll(*medium.pstm), expected);
    medium.pstm->Seek(0, STREAM_SEEK_CUR, &position);
    EXPECT_EQ(position, 4u);
    ReleaseStgMedium(&medium);

    FORMATETC any = format.FormatEtc();
    any.tymed = static_cast<DWORD>(-1);
    ASSERT_TRUE(format.SetDataToMedium(any, medium));
    ASSERT_EQ(medium.tymed, TYMED_HGLOBAL);
    EXPECT_EQ(BytesOfMedium(medium), TBytes(expected.begin(), expected.end()));
    ReleaseStgMedium(&medium);

    FORMATETC storage = format.FormatEtc();
    storage.tymed = TYMED_ISTORAGE;
    EXPECT_FALSE(format.SetDataToMedium(storage, medium));
}

TEST(SimpleClipboardFormatTest, CopyingAllOfAStreamAtItsEndCopiesItWhole) {
    TFileClipboardFormat format;
    format.Files().Add(u"/a");
    STGMEDIUM medium;
    ASSERT_TRUE(format.SetDataToMedium(format.FormatEtc(), medium));
    TIntfPtr<IStream> copy;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, copy), S_OK);
    uint64_t read = 0, written = 0;
    ASSERT_EQ(medium.pstm->CopyTo(copy.get(), static_cast<uint64_t>(-1), &read, &written), S_OK);
    EXPECT_EQ(read, format.BlockSize());
    EXPECT_EQ(written, read);
    ReleaseStgMedium(&medium);
}
