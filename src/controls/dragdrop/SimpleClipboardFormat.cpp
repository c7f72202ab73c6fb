#include "controls/dragdrop/SimpleClipboardFormat.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED_NONE(TCustomSimpleClipboardFormat);

namespace {

constexpr uint64_t kStreamPieceSize = 0x100000;

// Reads exactly Size bytes of Stream from its start into Buffer.
bool ReadWholeStream(IStream& stream, uint8_t* buffer, uint64_t size) {
    if (stream.Seek(0, STREAM_SEEK_SET, nullptr) != S_OK) return false;
    uint64_t done = 0;
    while (done < size) {
        const auto piece = static_cast<ULONG>(std::min(size - done, kStreamPieceSize));
        ULONG read = 0;
        if (Failed(stream.Read(buffer + done, piece, &read)) || read == 0) return false;
        done += read;
    }
    return true;
}

// A zeroed movable block holding the encoding of Format; null when it fails.
HGLOBAL EncodeToGlobal(TCustomSimpleClipboardFormat& format, size_t size) {
    HGLOBAL block = GlobalAlloc(GHND, size);
    if (!block) return nullptr;
    auto* data = static_cast<uint8_t*>(GlobalLock(block));
    bool encoded = false;
    try {
        encoded = data && format.EncodeBlock(data, size);
    } catch (...) {
        encoded = false;
    }
    if (data) GlobalUnlock(block);
    if (encoded) return block;
    GlobalFree(block);
    return nullptr;
}

} // namespace

bool TCustomSimpleClipboardFormat::ReadFromMedium(IDataObject&, STGMEDIUM& medium) {
    switch (medium.tymed) {
    case TYMED_HGLOBAL: {
        const SIZE_T size = GlobalSize(medium.hGlobal);
        return size == 0 || ReadMediumBlock(medium, size);
    }
    case TYMED_ISTREAM: {
        STATSTG stat;
        if (!medium.pstm || medium.pstm->Stat(stat, STATFLAG_NONAME) != S_OK) return false;
        return stat.cbSize == 0 || ReadMediumBlock(medium, stat.cbSize);
    }
    default: return false;
    }
}

bool TCustomSimpleClipboardFormat::ReadMediumBlock(const STGMEDIUM& medium, uint64_t size) {
    if (size < 1 || size > kMaxGlobalSize) return false;
    if (medium.tymed == TYMED_HGLOBAL) {
        const auto* data = static_cast<const uint8_t*>(GlobalLock(medium.hGlobal));
        if (!data) return false;
        bool decoded;
        try {
            decoded = DecodeBlock(data, static_cast<size_t>(size));
        } catch (...) {
            GlobalUnlock(medium.hGlobal);
            throw;
        }
        GlobalUnlock(medium.hGlobal);
        return decoded;
    }
    if (medium.tymed != TYMED_ISTREAM || !medium.pstm) return false;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
    if (!buffer || !ReadWholeStream(*medium.pstm, buffer.get(), size)) return false;
    return DecodeBlock(buffer.get(), static_cast<size_t>(size));
}

bool TCustomSimpleClipboardFormat::WriteToMedium(const FORMATETC& format, STGMEDIUM& medium) {
    size_t size;
    try {
        size = BlockSize();
    } catch (...) {
        return false;
    }
    if (size == 0) return false;
    const DWORD ours = FormatEtc().tymed;
    const bool anyMedium = format.tymed == static_cast<DWORD>(-1);
    if (!anyMedium && (format.tymed & ours & TYMED_ISTREAM)) {
        HGLOBAL block = EncodeToGlobal(*this, size);
        if (!block) return false;
        TIntfPtr<IStream> stream;
        if (CreateStreamOnHGlobal(block, TRUE, stream) != S_OK) {
            GlobalFree(block);
            return false;
        }
        stream->Seek(0, STREAM_SEEK_END, nullptr);
        medium.tymed = TYMED_ISTREAM;
        medium.pstm = MakeIntf<TFixedStreamAdapter>(std::move(stream)).Detach();
        return true;
    }
    if (format.tymed & ours & TYMED_HGLOBAL) {
        medium.hGlobal = EncodeToGlobal(*this, size);
        if (!medium.hGlobal) return false;
        medium.tymed = TYMED_HGLOBAL;
        return true;
    }
    return false;
}

HRESULT TFixedStreamAdapter::Read(void* buffer, ULONG count, ULONG* read) {
    if (!positioned_) Seek(0, STREAM_SEEK_SET, nullptr);
    return stream_->Read(buffer, count, read);
}

HRESULT TFixedStreamAdapter::Write(const void* buffer, ULONG count, ULONG* written) {
    return stream_->Write(buffer, count, written);
}

HRESULT TFixedStreamAdapter::Seek(int64_t move, DWORD origin, uint64_t* newPosition) {
    const HRESULT result = stream_->Seek(move, origin, newPosition);
    positioned_ = true;
    return result;
}

HRESULT TFixedStreamAdapter::CopyTo(IStream* target, uint64_t count, uint64_t* read, uint64_t* written) {
    try {
        if (static_cast<int64_t>(count) < 0) {
            uint64_t position = 0, size = 0;
            stream_->Seek(0, STREAM_SEEK_CUR, &position);
            stream_->Seek(0, STREAM_SEEK_END, &size);
            if (position >= size) position = 0;
            stream_->Seek(static_cast<int64_t>(position), STREAM_SEEK_SET, nullptr);
            positioned_ = true;
            count = size - position;
        }
        std::vector<uint8_t> buffer(static_cast<size_t>(std::min(count, kStreamPieceSize)));
        uint64_t totalRead = 0, totalWritten = 0;
        HRESULT result = S_OK;
        while (count > 0) {
            ULONG got = 0;
            result = Read(buffer.data(), static_cast<ULONG>(std::min<uint64_t>(buffer.size(), count)), &got);
            if (Failed(result) || got == 0) break;
            totalRead += got;
            ULONG put = 0;
            result = target->Write(buffer.data(), got, &put);
            if (Succeeded(result) && put < got) result = E_FAIL;
            totalWritten += put;
            if (Failed(result)) break;
            count -= put;
        }
        if (read) *read = totalRead;
        if (written) *written = totalWritten;
        return Failed(result) ? result : S_OK;
    } catch (...) {
        return E_UNEXPECTED;
    }
}
