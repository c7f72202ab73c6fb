#pragma once
// A fixed set of equal buffers handed out as counted samples. A sample comes
// back on its last release; GetBuffer blocks until one is free, and Decommit
// releases every such wait with VFW_E_NOT_COMMITTED. The buffers are freed
// once decommitted and all back.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/media/BaseObject.h"
#include "platform/media/MediaTypeRecords.h"

class TMemAllocator;

class TMediaSample : public TImplements<TBCBaseObject, IMediaSample> {
public:
    TMediaSample(TMemAllocator* allocator, BYTE* buffer, long size);

    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    int32_t _AddRef() override;
    // The last release gives the sample back to its allocator.
    int32_t _Release() override;

    HRESULT GetPointer(BYTE** buffer) override;
    long GetSize() override { return size_; }
    HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override;
    HRESULT SetTime(const REFERENCE_TIME* start, const REFERENCE_TIME* stop) override;
    HRESULT IsSyncPoint() override { return syncPoint_ ? S_OK : S_FALSE; }
    HRESULT SetSyncPoint(bool value) override;
    HRESULT IsDiscontinuity() override { return discontinuity_ ? S_OK : S_FALSE; }
    HRESULT SetDiscontinuity(bool value) override;
    long GetActualDataLength() override { return actualLength_; }
    HRESULT SetActualDataLength(long length) override;
    HRESULT GetMediaType(AM_MEDIA_TYPE** type) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE* type) override;

private:
    friend class TMemAllocator;
    // Times, flags and type cleared; the whole buffer in use.
    void ClearProperties();

    TMemAllocator* allocator_;
    BYTE* buffer_;
    long size_;
    std::atomic<int32_t> refCount_{0};
    bool timeValid_ = false;
    REFERENCE_TIME start_ = 0;
    REFERENCE_TIME stop_ = 0;
    bool syncPoint_ = false;
    bool discontinuity_ = false;
    long actualLength_ = 0;
    std::unique_ptr<TMediaType> type_;
};

class TMemAllocator : public TImplements<TBCUnknown, IMemAllocator> {
public:
    TMemAllocator();
    ~TMemAllocator() override;

    HRESULT SetProperties(const ALLOCATOR_PROPERTIES& request, ALLOCATOR_PROPERTIES& actual) override;
    HRESULT GetProperties(ALLOCATOR_PROPERTIES& props) override;
    HRESULT Commit() override;
    HRESULT Decommit() override;
    HRESULT GetBuffer(TIntfPtr<IMediaSample>& sample, const REFERENCE_TIME* start, const REFERENCE_TIME* stop,
                      DWORD flags) override;

    // Samples handed out and not yet back.
    int OutstandingCount() const;
    int BufferCount() const;

private:
    friend class TMediaSample;
    void ReturnSample(TMediaSample* sample);
    void FreeBuffersLocked();

    mutable std::mutex mutex_;
    std::condition_variable sampleFreed_;
    ALLOCATOR_PROPERTIES props_{};
    bool committed_ = false;
    std::vector<std::unique_ptr<TMediaSample>> samples_;
    std::vector<TMediaSample*> free_;
    std::vector<BYTE*> buffers_;
};
