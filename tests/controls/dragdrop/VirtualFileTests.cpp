// Files that need not exist on disk: group descriptors with their names,
// contents read as named streams, contents made on demand, and the virtual
// file data format between them.

#include <cstring>
#include <map>

#include "DragDropFixture.h"
#include "controls/dragdrop/DataStreamFormat.h"
#include "controls/dragdrop/FileContentsFormats.h"
#include "controls/dragdrop/FileGroupFormats.h"
#include "controls/dragdrop/VirtualFileFormats.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"

namespace {

// A source of virtual files: stored blocks, and "FileContents" per request
// index on a stream.
class TVirtualFileSource : public TStoredDataObject {
public:
    void SetContents(LONG index, std::string bytes) { contents_[index] = std::move(bytes); }

    HRESULT GetData(const FORMATETC& format, STGMEDIUM& medium) override {
        if (format.cfFormat != FileContentsClipboardFormat()) return TStoredDataObject::GetData(format, medium);
        const auto it = contents_.find(format.lindex);
        if (it == contents_.end() || !(format.tymed & TYMED_ISTREAM)) return DV_E_FORMATETC;
        medium.tymed = TYMED_ISTREAM;
        medium.pstm = StreamOf(it->second).Detach();
        return S_OK;
    }
    HRESULT QueryGetData(const FORMATETC& format) override {
        if (format.cfFormat != FileContentsClipboardFormat()) return TStoredDataObject::QueryGetData(format);
        return contents_.empty() ? DV_E_FORMATETC : S_OK;
    }

    static TIntfPtr<IStream> StreamOf(const std::string& bytes) {
        TIntfPtr<IStream> stream;
        CreateStreamOnHGlobal(nullptr, TRUE, stream);
        stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
        return stream;
    }

private:
    std::map<LONG, std::string> contents_;
};

template <class Group>
std::string GroupBlock(const std::vector<String>& names, uint8_t attributeByte = 0) {
    Group group;
    group.SetCount(static_cast<uint32_t>(names.size()));
    for (uint32_t i = 0; i < names.size(); ++i) {
        std::memset(group.Descriptor(i), attributeByte, TFileGroupDescriptorCustomClipboardFormat::kDescriptorHead);
        group.SetFilename(i, names[i]);
    }
    return BytesOf(group.FileGroupDescriptor());
}

std::string ContentOf(TStream& stream) {
    std::string bytes(static_cast<size_t>(stream.Size()), '\0');
    stream.Seek(0, TSeekOrigin::soBeginning);
    stream.Read(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

using VirtualFileTest = DragDropTest;

} // namespace

TEST_F(VirtualFileTest, ContentStreamsAreNamedAfterTheDescriptorsOrUnnamedWithoutThem) {
    struct Case {
        const char* what;
        std::vector<String> described;
        std::map<LONG, std::string> contents;
        std::vector<std::pair<String, std::string>> streams;
    } const cases[] = {
        {"two described files", {u"a.txt", u"视频.mp4"}, {{0, "first"}, {1, "second"}},
         {{u"a.txt", "first"}, {u"视频.mp4", "second"}}},
        {"no descriptor", {}, {{-1, "whole"}}, {{u"", "whole"}}},
        {"the second file not answered", {u"a", u"b"}, {{0, "only"}}, {{u"a", "only"}}},
    };
    for (const Case& c : cases) {
        auto source = MakeIntf<TVirtualFileSource>();
        if (!c.described.empty())
            source->SetBytes(TUnicodeFileGroupDescriptorClipboardFormat::ClassClipboardFormat(),
                             GroupBlock<TUnicodeFileGroupDescriptorClipboardFormat>(c.described));
        for (const auto& [index, bytes] : c.contents) source->SetContents(index, bytes);
        TFileContentsStreamClipboardFormat format;
        EXPECT_TRUE(format.GetData(*source)) << c.what;
        TDataStreamDataFormat streams(nullptr);
        ASSERT_TRUE(format.AssignTo(streams)) << c.what;
        EXPECT_EQ(format.Streams().Count(), 0) << c.what;
        std::vector<std::pair<String, std::string>> got;
        for (int i = 0; i < streams.Streams().Count(); ++i)
            got.emplace_back(streams.Streams().Names(i), ContentOf(streams.Streams()[i]));
        EXPECT_EQ(got, c.streams) << c.what;
    }
}

TEST_F(VirtualFileTest, StoragesNeverArrive) {
    auto source = MakeIntf<TVirtualFileSource>();
    source->SetBytes(TAnsiFileGroupDescriptorClipboardFormat::ClassClipboardFormat(),
                     GroupBlock<TAnsiFileGroupDescriptorClipboardFormat>({u"a"}));
    source->SetContents(0, "bytes");
    TFileContentsStorageClipboardFormat format;
    EXPECT_FALSE(format.GetData(*source));
    EXPECT_EQ(format.Storages().Count(), 0);
    EXPECT_EQ(source->RefCount(), 1);
}

TEST_F(VirtualFileTest, OnDemandContentsTravelOnTheRequestedMedium) {
    struct Case {
        const char* what;
        DWORD tymed;
        LONG lindex;
        bool handler;
        DWORD medium; // TYMED_NULL: refused
        int askedIndex;
    } const cases[] = {
        {"a stream", TYMED_ISTREAM, 1, true, TYMED_ISTREAM, 1},
        {"a global block", TYMED_HGLOBAL, 0, true, TYMED_HGLOBAL, 0},
        {"either, any index", TYMED_HGLOBAL | TYMED_ISTREAM, -1, true, TYMED_ISTREAM, 0},
        {"no handler", TYMED_ISTREAM, 0, false, TYMED_NULL, -1},
        {"a storage", TYMED_ISTORAGE, 0, true, TYMED_NULL, -1},
    };
    for (const Case& c : cases) {
        TFileContentsStreamOnDemandClipboardFormat format;
        int asked = -1;
        if (c.handler)
            format.OnGetStream = [&](TFileContentsStreamOnDemandClipboardFormat&, int index, TIntfPtr<IStream>& stream) {
                asked = index;
                stream = TVirtualFileSource::StreamOf("on demand");
            };
        FORMATETC request = format.FormatEtc();
        request.tymed = c.tymed;
        request.lindex = c.lindex;
        STGMEDIUM medium;
        EXPECT_EQ(format.WriteToMedium(request, medium), c.medium != TYMED_NULL) << c.what;
        EXPECT_EQ(medium.tymed, c.medium) << c.what;
        EXPECT_EQ(asked, c.askedIndex) << c.what;
        if (medium.tymed == TYMED_HGLOBAL) {
            ASSERT_EQ(GlobalSize(medium.hGlobal), 9u);
            EXPECT_EQ(std::memcmp(GlobalLock(medium.hGlobal), "on demand", 9), 0);
            GlobalUnlock(medium.hGlobal);
        }
        ReleaseStgMedium(&medium);
    }
}

TEST_F(VirtualFileTest, TheDataFormatTriesTheWideDescriptorThenContentsThenTheNarrowOne) {
    TVirtualFileStreamDataFormat format(nullptr);
    TClipboardFormats& formats = format.CompatibleFormats();
    ASSERT_EQ(formats.Count(), 3);
    EXPECT_TRUE(formats[0]->InheritsFrom(TUnicodeFileGroupDescriptorClipboardFormat::StaticClass()));
    EXPECT_TRUE(formats[1]->InheritsFrom(TFileContentsStreamOnDemandClipboardFormat::StaticClass()));
    EXPECT_TRUE(formats[2]->InheritsFrom(TAnsiFileGroupDescriptorClipboardFormat::StaticClass()));
}

TEST_F(VirtualFileTest, DescriptorsAreReadFromEitherGroupWithTheirAttributes) {
    for (const bool wide : {true, false}) {
        auto source = MakeIntf<TVirtualFileSource>();
        if (wide)
            source->SetBytes(TUnicodeFileGroupDescriptorClipboardFormat::ClassClipboardFormat(),
                             GroupBlock<TUnicodeFileGroupDescriptorClipboardFormat>({u"a.mp4", u"视频 b.mkv"}, 7));
        else
            source->SetBytes(TAnsiFileGroupDescriptorClipboardFormat::ClassClipboardFormat(),
                             GroupBlock<TAnsiFileGroupDescriptorClipboardFormat>({u"a.mp4", u"视频 b.mkv"}, 7));
        source->SetContents(0, "x");
        TVirtualFileStreamDataFormat format(nullptr);
        EXPECT_TRUE(format.GetData(*source)) << wide;
        EXPECT_TRUE(format.HasData()) << wide;
        EXPECT_FALSE(format.NeedsData()) << wide;
        ASSERT_EQ(format.FileNames().Count(), 2) << wide;
        EXPECT_EQ(format.FileNames()[1], String(u"视频 b.mkv")) << wide;
        EXPECT_EQ(format.FileDescriptors()[1][71], 7) << wide;
        EXPECT_EQ(format.FileDescriptors()[1].size(), 592u) << wide;
    }
}

TEST_F(VirtualFileTest, DescriptorsAreWrittenIntoEitherGroup) {
    TVirtualFileStreamDataFormat format(nullptr);
    TAnsiFileGroupDescriptorClipboardFormat narrow;
    EXPECT_FALSE(format.AssignTo(narrow));
    format.FileNames().Add(u"视频.mp4");
    format.FileDescriptors()[0][0] = 3;
    TUnicodeFileGroupDescriptorClipboardFormat wide;
    ASSERT_TRUE(format.AssignTo(narrow));
    ASSERT_TRUE(format.AssignTo(wide));
    for (TFileGroupDescriptorCustomClipboardFormat* group :
         std::initializer_list<TFileGroupDescriptorCustomClipboardFormat*>{&narrow, &wide}) {
        ASSERT_EQ(group->Count(), 1u);
        EXPECT_EQ(group->GetFilename(0), String(u"视频.mp4"));
        EXPECT_EQ(group->Descriptor(0)[0], 3);
    }
    EXPECT_FALSE(format.HasData());
    format.OnGetStream() = [](TFileContentsStreamOnDemandClipboardFormat&, int, TIntfPtr<IStream>&) {};
    EXPECT_TRUE(format.HasData());
    EXPECT_TRUE(format.NeedsData());
    ASSERT_TRUE(format.AssignTo(format.FileContentsClipboardFormat()));
    EXPECT_TRUE(format.FileContentsClipboardFormat().HasData());
}

TEST_F(VirtualFileTest, TheNameListOnlyAppendsAndKeepsAnObjectPerName) {
    TMemoryList descriptors;
    TFileDescriptorToFilenameStrings names(descriptors);
    TStringList source;
    TObject first, second;
    source.AddObject(u"a", &first);
    source.AddObject(String(std::u16string(300, u'n')), &second);
    names.Assign(source);
    ASSERT_EQ(names.Count(), 2);
    EXPECT_EQ(names[1], String(std::u16string(259, u'n')));
    EXPECT_EQ(names.Objects(1), &second);
    names.Insert(0, u"ignored");
    EXPECT_EQ(names.Count(), 2);
    names.Delete(0);
    EXPECT_EQ(descriptors.Count(), 1);
    EXPECT_EQ(names.Objects(0), &second);
    names.Clear();
    EXPECT_EQ(descriptors.Count(), 0);
}

TEST(StreamListTest, AssignMovesTheStreamsAndEmptiesTheSource) {
    TStreamList source, dest;
    int changes = 0;
    dest.OnChanging = [&](TObject*) { ++changes; };
    source.AddNamed(std::make_unique<TMemoryStream>(TBytes{1, 2}), u"a");
    TStream* stream = &source[0];
    dest.Assign(source);
    EXPECT_EQ(source.Count(), 0);
    ASSERT_EQ(dest.Count(), 1);
    EXPECT_EQ(&dest[0], stream);
    EXPECT_EQ(dest.Names(0), String(u"a"));
    EXPECT_EQ(changes, 1);
}
