#include "controls/dragdrop/FileContentsFormats.h"

#include <new>

#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/DataStreamFormat.h"
#include "controls/dragdrop/FileGroupFormats.h"
#include "controls/dragdrop/VirtualFileFormats.h"
#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Streams.h"

RTL_PUBLISHED_NONE(TFileContentsClipboardFormat);
RTL_PUBLISHED_NONE(TFileContentsStreamClipboardFormat);
RTL_PUBLISHED_NONE(TFileContentsStreamOnDemandClipboardFormat);
RTL_PUBLISHED_NONE(TFileContentsStorageClipboardFormat);

namespace {

// The requests for the contents of the files a group descriptor names: one
// per descriptor, or the single unnamed request -1 without a descriptor.
struct TContentRequests {
    std::vector<String> names;
    bool described = false;

    LONG First() const noexcept { return described ? 0 : -1; }
    LONG End() const noexcept { return described ? static_cast<LONG>(names.size()) : 0; }
    String NameOf(LONG index) const { return described ? names[static_cast<size_t>(index)] : String(); }
};

template <class Group>
TContentRequests ContentRequestsOf(IDataObject& data) {
    TContentRequests requests;
    Group group;
    if (!group.GetData(data) || !group.HasData()) return requests;
    requests.described = true;
    for (uint32_t i = 0; i < group.Count(); ++i) requests.names.push_back(group.GetFilename(i));
    return requests;
}

// The whole content of Stream from its start, the stream sought back to its
// start afterwards; null when it cannot be read whole.
std::unique_ptr<TStream> CopyOfStream(IStream& stream) {
    STATSTG stat;
    if (stream.Stat(stat, STATFLAG_NONAME) != S_OK || stat.cbSize > kMaxGlobalSize) return nullptr;
    TBytes bytes;
    try {
        bytes.resize(static_cast<size_t>(stat.cbSize));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    bool whole = stream.Seek(0, STREAM_SEEK_SET, nullptr) == S_OK;
    for (size_t done = 0; whole && done < bytes.size();) {
        ULONG read = 0;
        const auto piece = static_cast<ULONG>(std::min<size_t>(bytes.size() - done, 0x100000));
        whole = Succeeded(stream.Read(bytes.data() + done, piece, &read)) && read > 0;
        done += read;
    }
    stream.Seek(0, STREAM_SEEK_SET, nullptr);
    if (!whole) return nullptr;
    return std::make_unique<TMemoryStream>(std::move(bytes));
}

FORMATETC ContentRequest(const FORMATETC& ours, LONG index) {
    FORMATETC request = ours;
    request.lindex = index;
    return request;
}

} // namespace

TFileContentsClipboardFormat::TFileContentsClipboardFormat()
    : TCustomAnsiStringClipboardFormat(FileContentsClipboardFormat()) {
    MutableFormatEtc().lindex = 0;
}

TFileContentsStreamClipboardFormat::TFileContentsStreamClipboardFormat()
    : TClipboardFormat(FileContentsClipboardFormat(), TYMED_ISTREAM | TYMED_ISTORAGE) {}

void TFileContentsStreamClipboardFormat::DeclareConversions() {
    AddReadConversion<TDataStreamDataFormat, TFileContentsStreamClipboardFormat>();
}

bool TFileContentsStreamClipboardFormat::GetData(IDataObject& data) {
    Clear();
    const TContentRequests requests = ContentRequestsOf<TUnicodeFileGroupDescriptorClipboardFormat>(data);
    bool result = false;
    for (LONG index = requests.First(); index < requests.End(); ++index) {
        STGMEDIUM medium;
        if (data.GetData(ContentRequest(FormatEtc(), index), medium) != S_OK) break;
        if (medium.tymed == TYMED_ISTORAGE) { // no storage can become a stream here
            ReleaseStgMedium(&medium);
            return false;
        }
        std::unique_ptr<TStream> copy = medium.tymed == TYMED_ISTREAM && medium.pstm ? CopyOfStream(*medium.pstm) : nullptr;
        const bool wasStream = medium.tymed == TYMED_ISTREAM;
        ReleaseStgMedium(&medium);
        if (!wasStream) continue;
        if (!copy) break;
        streams_.AddNamed(std::move(copy), requests.NameOf(index));
        result = true;
    }
    return result;
}

bool TFileContentsStreamClipboardFormat::AssignTo(TCustomDataFormat& dest) {
    auto* streams = dynamic_cast<TDataStreamDataFormat*>(&dest);
    if (!streams) return TClipboardFormat::AssignTo(dest);
    streams->Streams().Assign(streams_);
    return true;
}

TFileContentsStreamOnDemandClipboardFormat::TFileContentsStreamOnDemandClipboardFormat()
    : TClipboardFormat(FileContentsClipboardFormat(), TYMED_HGLOBAL | TYMED_ISTREAM) {}

bool TFileContentsStreamOnDemandClipboardFormat::GetData(IDataObject& data) {
    gotData_ = HasValidFormats(data);
    return gotData_;
}

bool TFileContentsStreamOnDemandClipboardFormat::Assign(TCustomDataFormat& source) {
    if (!dynamic_cast<TVirtualFileStreamDataFormat*>(&source)) return TClipboardFormat::Assign(source);
    dataRequested_ = true;
    return true;
}

bool TFileContentsStreamOnDemandClipboardFormat::WriteToMedium(const FORMATETC& format, STGMEDIUM& medium) {
    const LONG index = format.lindex == -1 ? 0 : format.lindex;
    if (!OnGetStream || (format.tymed & FormatEtc().tymed) == 0 || index < 0) return false;
    TIntfPtr<IStream> stream;
    OnGetStream(*this, index, stream);
    if (!stream) return false;
    if (format.tymed & TYMED_ISTREAM) {
        medium.tymed = TYMED_ISTREAM;
        medium.pstm = stream.Detach();
        return true;
    }
    if (!(format.tymed & TYMED_HGLOBAL)) return false;
    STATSTG stat;
    if (stream->Stat(stat, STATFLAG_NONAME) != S_OK || stat.cbSize > 0xFFFFFFFFu) return false;
    const auto size = static_cast<ULONG>(stat.cbSize);
    HGLOBAL block = GlobalAlloc(GHND, size);
    if (!block) return false;
    bool whole = false;
    if (void* bytes = GlobalLock(block)) {
        ULONG read = 0;
        whole = stream->Seek(0, STREAM_SEEK_SET, nullptr) == S_OK && Succeeded(stream->Read(bytes, size, &read)) &&
                read == size;
        GlobalUnlock(block);
    }
    if (!whole) {
        GlobalFree(block);
        return false;
    }
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block;
    return true;
}

TFileContentsStorageClipboardFormat::TFileContentsStorageClipboardFormat()
    : TClipboardFormat(FileContentsClipboardFormat(), TYMED_ISTORAGE) {}

bool TFileContentsStorageClipboardFormat::GetData(IDataObject& data) {
    Clear();
    const TContentRequests requests = ContentRequestsOf<TAnsiFileGroupDescriptorClipboardFormat>(data);
    for (LONG index = requests.First(); index < requests.End(); ++index) {
        STGMEDIUM medium;
        if (data.GetData(ContentRequest(FormatEtc(), index), medium) != S_OK) break;
        ReleaseStgMedium(&medium);
    }
    return false;
}
