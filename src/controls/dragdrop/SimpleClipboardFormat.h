#pragma once
// Clipboard formats that are one block of bytes: the medium work (global
// blocks and streams) is done here once; descendants only decode a block,
// encode one and tell its size. Storages do not exist on this platform, so
// a storage medium is never read and never requested.

#include <cstddef>
#include <cstdint>

#include "controls/dragdrop/ClipboardFormat.h"

class TCustomSimpleClipboardFormat : public TClipboardFormat {
    RTL_CLASS(TCustomSimpleClipboardFormat, TClipboardFormat);

public:
    // On a global block or a stream.
    explicit TCustomSimpleClipboardFormat(CLIPFORMAT format) : TClipboardFormat(format, TYMED_HGLOBAL | TYMED_ISTREAM) {}

    // A global block reads as true, decoded when not empty; a stream as
    // whether its size is known, decoded when not empty and read whole.
    bool ReadFromMedium(IDataObject& data, STGMEDIUM& medium) override;
    // A stream when the request names one (left at its end), else a global
    // block; false for an empty block or a failed encoding.
    bool WriteToMedium(const FORMATETC& format, STGMEDIUM& medium) override;

    // Reads Size bytes of the medium whole and decodes them; false when they
    // cannot all be read.
    bool ReadMediumBlock(const STGMEDIUM& medium, uint64_t size);
    // The block may come from another program: stay inside Size bytes.
    virtual bool DecodeBlock(const uint8_t* data, size_t size) = 0;
    // Fills a zeroed buffer of exactly Size bytes.
    virtual bool EncodeBlock(uint8_t* buffer, size_t size) = 0;
    virtual size_t BlockSize() const = 0;
};

// Exposes a stream to a reader in another component: a reader that reads
// without seeking first gets the content from its start.
class TFixedStreamAdapter : public TImplements<TInterfacedObject, IStream> {
public:
    explicit TFixedStreamAdapter(TIntfPtr<IStream> stream) : stream_(std::move(stream)) {}

    HRESULT Read(void* buffer, ULONG count, ULONG* read) override;
    HRESULT Write(const void* buffer, ULONG count, ULONG* written) override;
    HRESULT Seek(int64_t move, DWORD origin, uint64_t* newPosition) override;
    HRESULT SetSize(uint64_t newSize) override { return stream_->SetSize(newSize); }
    // A count whose top bit is set copies the rest (from the start when at the end).
    HRESULT CopyTo(IStream* target, uint64_t count, uint64_t* read, uint64_t* written) override;
    HRESULT Commit(DWORD flags) override { return stream_->Commit(flags); }
    HRESULT Revert() override { return stream_->Revert(); }
    HRESULT LockRegion(uint64_t offset, uint64_t count, DWORD lockType) override {
        return stream_->LockRegion(offset, count, lockType);
    }
    HRESULT UnlockRegion(uint64_t offset, uint64_t count, DWORD lockType) override {
        return stream_->UnlockRegion(offset, count, lockType);
    }
    // Never with a name.
    HRESULT Stat(STATSTG& stat, DWORD flags) override { return stream_->Stat(stat, flags | STATFLAG_NONAME); }
    HRESULT Clone(TIntfPtr<IStream>& clone) override { return stream_->Clone(clone); }

private:
    TIntfPtr<IStream> stream_;
    bool positioned_ = false;
};
