// Streams over global blocks: the block is the stream's content and its size
// the stream's size; clones share the block and keep their own positions.

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/win/dataxfer/GlobalBlocks.h"

namespace {

// The block shared by a stream and its clones.
struct TSharedBlock {
    HGLOBAL memory;
    bool deleteOnRelease;
    ~TSharedBlock() {
        if (deleteOnRelease) GlobalFree(memory);
    }
};

class TGlobalStream : public TImplements<TInterfacedObject, IStream> {
public:
    TGlobalStream(std::shared_ptr<TSharedBlock> block, uint64_t position)
        : block_(std::move(block)), position_(position) {}

    HGLOBAL Memory() const { return block_->memory; }

    HRESULT Read(void* buffer, ULONG count, ULONG* read) override {
        if (read) *read = 0;
        if (!buffer && count) return STG_E_INVALIDPOINTER;
        const TGlobalView view = ViewGlobal(Memory());
        if (!view.data) return E_UNEXPECTED;
        const uint64_t available = position_ < view.size ? view.size - position_ : 0;
        const auto n = static_cast<ULONG>(std::min<uint64_t>(count, available));
        if (n) std::memcpy(buffer, view.data + position_, n);
        position_ += n;
        if (read) *read = n;
        return S_OK;
    }

    HRESULT Write(const void* buffer, ULONG count, ULONG* written) override {
        if (written) *written = 0;
        if (!buffer && count) return STG_E_INVALIDPOINTER;
        if (!count) return S_OK;
        const uint64_t end = position_ + count;
        if (end > kMaxGlobalSize) return STG_E_MEDIUMFULL;
        if (end > GlobalSize(Memory()) && !GlobalReAlloc(Memory(), end, GMEM_MOVEABLE | GMEM_ZEROINIT))
            return STG_E_MEDIUMFULL;
        auto* data = static_cast<uint8_t*>(GlobalLock(Memory()));
        if (!data) return E_UNEXPECTED;
        std::memcpy(data + position_, buffer, count);
        GlobalUnlock(Memory());
        position_ = end;
        if (written) *written = count;
        return S_OK;
    }

    HRESULT Seek(int64_t move, DWORD origin, uint64_t* newPosition) override {
        int64_t base;
        switch (origin) {
        case STREAM_SEEK_SET: base = 0; break;
        case STREAM_SEEK_CUR: base = static_cast<int64_t>(position_); break;
        case STREAM_SEEK_END: base = static_cast<int64_t>(GlobalSize(Memory())); break;
        default: return STG_E_INVALIDFUNCTION;
        }
        int64_t target;
        if (__builtin_add_overflow(base, move, &target) || target < 0) return STG_E_INVALIDFUNCTION;
        position_ = static_cast<uint64_t>(target);
        if (newPosition) *newPosition = position_;
        return S_OK;
    }

    HRESULT SetSize(uint64_t newSize) override {
        if (newSize > kMaxGlobalSize) return STG_E_MEDIUMFULL;
        if (newSize == GlobalSize(Memory())) return S_OK;
        return GlobalReAlloc(Memory(), newSize, GMEM_MOVEABLE | GMEM_ZEROINIT) ? S_OK : STG_E_MEDIUMFULL;
    }

    HRESULT CopyTo(IStream* target, uint64_t count, uint64_t* read, uint64_t* written) override {
        if (read) *read = 0;
        if (written) *written = 0;
        if (!target) return STG_E_INVALIDPOINTER;
        uint8_t chunk[64 * 1024];
        uint64_t totalRead = 0, totalWritten = 0;
        HRESULT result = S_OK;
        while (totalRead < count) {
            ULONG got = 0;
            result = Read(chunk, static_cast<ULONG>(std::min<uint64_t>(sizeof chunk, count - totalRead)), &got);
            if (Failed(result) || got == 0) break;
            totalRead += got;
            ULONG put = 0;
            result = target->Write(chunk, got, &put);
            totalWritten += put;
            if (Failed(result)) break;
        }
        if (read) *read = totalRead;
        if (written) *written = totalWritten;
        return Failed(result) ? result : S_OK;
    }

    // Writes go straight to the block: there is nothing to commit.
    HRESULT Commit(DWORD) override { return S_OK; }
    HRESULT Revert() override { return E_NOTIMPL; }
    HRESULT LockRegion(uint64_t, uint64_t, DWORD) override { return E_NOTIMPL; }
    HRESULT UnlockRegion(uint64_t, uint64_t, DWORD) override { return E_NOTIMPL; }

    HRESULT Stat(STATSTG& stat, DWORD) override {
        // The stream has no name, so STATFLAG_NONAME changes nothing.
        stat = STATSTG{};
        stat.type = STGTY_STREAM;
        stat.cbSize = GlobalSize(Memory());
        stat.grfMode = STGM_READWRITE;
        return S_OK;
    }

    HRESULT Clone(TIntfPtr<IStream>& clone) override {
        clone = MakeIntf<TGlobalStream>(block_, position_);
        return S_OK;
    }

private:
    std::shared_ptr<TSharedBlock> block_;
    uint64_t position_;
};

} // namespace

HRESULT CreateStreamOnHGlobal(HGLOBAL memory, BOOL deleteOnRelease, TIntfPtr<IStream>& stream) {
    stream.Reset();
    if (!memory) {
        memory = GlobalAlloc(GMEM_MOVEABLE, 0);
        if (!memory) return E_OUTOFMEMORY;
    } else if (!ViewGlobal(memory).data) {
        return E_INVALIDARG;
    }
    stream = MakeIntf<TGlobalStream>(std::make_shared<TSharedBlock>(memory, deleteOnRelease != FALSE), 0);
    return S_OK;
}

HRESULT GetHGlobalFromStream(IStream* stream, HGLOBAL* memory) {
    if (!memory) return E_INVALIDARG;
    *memory = nullptr;
    auto* global = dynamic_cast<TGlobalStream*>(stream);
    if (!global) return E_INVALIDARG;
    *memory = global->Memory();
    return S_OK;
}

HRESULT CreateILockBytesOnHGlobal(HGLOBAL, BOOL, TIntfPtr<IInterface>& bytes) {
    bytes.Reset();
    return E_NOTIMPL;
}

HRESULT StgCreateDocfileOnILockBytes(IInterface*, DWORD, DWORD, TIntfPtr<IInterface>& storage) {
    storage.Reset();
    return E_NOTIMPL;
}
