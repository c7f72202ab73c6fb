#include "platform/win/dataxfer/StoredDataObject.h"

#include <algorithm>
#include <cstring>

#include "platform/win/dataxfer/DropFiles.h"
#include "platform/win/dataxfer/ListEnumerator.h"

namespace {

constexpr DWORD kOfferedMedia = TYMED_HGLOBAL | TYMED_ISTREAM;

} // namespace

bool TStoredDataObject::SetBytes(CLIPFORMAT format, std::string_view bytes) {
    if (bytes.size() > kMaxGlobalSize) return false;
    TBytes copy(bytes.begin(), bytes.end());
    for (TEntry& entry : entries_)
        if (entry.format == format) {
            entry.bytes = std::move(copy);
            return true;
        }
    entries_.push_back({format, std::move(copy)});
    return true;
}

bool TStoredDataObject::SetText(const String& text) {
    const std::u16string_view wide(text.c_str(), text.size() + 1);
    const std::string narrow = EncodeCodePage(text, CP_ACP);
    return SetBytes(CF_UNICODETEXT, {reinterpret_cast<const char*>(wide.data()), wide.size() * 2}) &&
           SetBytes(CF_TEXT, {narrow.c_str(), narrow.size() + 1});
}

bool TStoredDataObject::SetFiles(const std::vector<String>& names) {
    const std::vector<uint8_t> block = WriteDropFiles(names);
    return SetBytes(CF_HDROP, {reinterpret_cast<const char*>(block.data()), block.size()});
}

void TStoredDataObject::AcceptSetData(CLIPFORMAT format) {
    if (std::find(settable_.begin(), settable_.end(), format) == settable_.end()) settable_.push_back(format);
}

const TStoredDataObject::TEntry* TStoredDataObject::Find(CLIPFORMAT format) const {
    for (const TEntry& entry : entries_)
        if (entry.format == format) return &entry;
    return nullptr;
}

bool TStoredDataObject::HasFormat(CLIPFORMAT format) const { return Find(format) != nullptr; }

std::optional<TBytes> TStoredDataObject::Bytes(CLIPFORMAT format) const {
    const TEntry* entry = Find(format);
    if (!entry) return std::nullopt;
    return entry->bytes;
}

std::vector<CLIPFORMAT> TStoredDataObject::Formats() const {
    std::vector<CLIPFORMAT> formats;
    for (const TEntry& entry : entries_) formats.push_back(entry.format);
    return formats;
}

HRESULT TStoredDataObject::Check(const FORMATETC& format) const {
    if (!Find(format.cfFormat)) return DV_E_FORMATETC;
    if (format.dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (format.lindex != -1) return DV_E_LINDEX;
    if (!(format.tymed & kOfferedMedia)) return DV_E_TYMED;
    return S_OK;
}

HRESULT TStoredDataObject::GetData(const FORMATETC& format, STGMEDIUM& medium) {
    medium = STGMEDIUM{};
    if (const HRESULT check = Check(format); check != S_OK) return check;
    const TBytes& bytes = Find(format.cfFormat)->bytes;
    HGLOBAL memory = GlobalFromBytes(bytes.data(), bytes.size());
    if (!memory) return E_OUTOFMEMORY;
    if (format.tymed & TYMED_HGLOBAL) {
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = memory;
        return S_OK;
    }
    TIntfPtr<IStream> stream;
    if (Failed(CreateStreamOnHGlobal(memory, TRUE, stream))) {
        GlobalFree(memory);
        return E_OUTOFMEMORY;
    }
    medium.tymed = TYMED_ISTREAM;
    medium.pstm = stream.Detach();
    return S_OK;
}

HRESULT TStoredDataObject::GetDataHere(const FORMATETC& format, STGMEDIUM& medium) {
    if (const HRESULT check = Check(format); check != S_OK) return check;
    const TBytes& bytes = Find(format.cfFormat)->bytes;
    if (medium.tymed == TYMED_HGLOBAL && (format.tymed & TYMED_HGLOBAL)) {
        if (GlobalSize(medium.hGlobal) < bytes.size()) return STG_E_MEDIUMFULL;
        void* data = GlobalLock(medium.hGlobal);
        if (!data) return E_INVALIDARG;
        if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
        GlobalUnlock(medium.hGlobal);
        return S_OK;
    }
    if (medium.tymed == TYMED_ISTREAM && (format.tymed & TYMED_ISTREAM) && medium.pstm) {
        ULONG written = 0;
        const HRESULT result = medium.pstm->Write(bytes.data(), ULONG(bytes.size()), &written);
        return Failed(result) ? result : S_OK;
    }
    return DV_E_TYMED;
}

HRESULT TStoredDataObject::QueryGetData(const FORMATETC& format) { return Check(format); }

HRESULT TStoredDataObject::GetCanonicalFormatEtc(const FORMATETC& format, FORMATETC& canonical) {
    canonical = format;
    canonical.ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT TStoredDataObject::SetData(const FORMATETC& format, STGMEDIUM& medium, BOOL release) {
    if (std::find(settable_.begin(), settable_.end(), format.cfFormat) == settable_.end()) return E_NOTIMPL;
    if (format.dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    const auto bytes = BytesOfMedium(medium);
    if (!bytes) return DV_E_TYMED;
    if (!SetBytes(format.cfFormat, {reinterpret_cast<const char*>(bytes->data()), bytes->size()}))
        return E_OUTOFMEMORY;
    if (release) ReleaseStgMedium(&medium);
    return S_OK;
}

HRESULT TStoredDataObject::EnumFormatEtc(DWORD direction, TIntfPtr<IEnumFORMATETC>& formats) {
    formats.Reset();
    if (direction == DATADIR_SET) return E_NOTIMPL;
    if (direction != DATADIR_GET) return E_INVALIDARG;
    std::vector<FORMATETC> offered;
    for (const TEntry& entry : entries_) offered.push_back({entry.format, nullptr, DVASPECT_CONTENT, -1, kOfferedMedia});
    formats = CreateFormatEnumerator(std::move(offered));
    return S_OK;
}

HRESULT TStoredDataObject::DAdvise(const FORMATETC&, DWORD, IAdviseSink*, DWORD& connection) {
    connection = 0;
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TStoredDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT TStoredDataObject::EnumDAdvise(TIntfPtr<IEnumSTATDATA>& advises) {
    advises.Reset();
    return OLE_E_ADVISENOTSUPPORTED;
}

TIntfPtr<IEnumFORMATETC> CreateFormatEnumerator(std::vector<FORMATETC> formats) {
    return MakeListEnumerator<IEnumFORMATETC>(std::move(formats));
}
