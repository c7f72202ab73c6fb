#include "platform/media/MemAllocator.h"

#include <new>

TMediaSample::TMediaSample(TMemAllocator* allocator, BYTE* buffer, long size)
    : TImplements(u"Media Sample"), allocator_(allocator), buffer_(buffer), size_(size) {}

HRESULT TMediaSample::QueryInterface(const TGUID& iid, void** obj) {
    if (iid == IInterface::IID) {
        IInterface* self = static_cast<IMediaSample*>(this);
        self->_AddRef();
        *obj = self;
        return S_OK;
    }
    return GetInterface(iid, obj) ? S_OK : E_NOINTERFACE;
}

int32_t TMediaSample::_AddRef() { return refCount_.fetch_add(1, std::memory_order_relaxed) + 1; }

int32_t TMediaSample::_Release() {
    const int32_t count = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    RTL_ASSERT(count >= 0, "MemAllocator: a sample's count went negative");
    if (count == 0) allocator_->ReturnSample(this);
    return count;
}

void TMediaSample::ClearProperties() {
    timeValid_ = false;
    start_ = stop_ = 0;
    syncPoint_ = discontinuity_ = false;
    actualLength_ = size_;
    type_.reset();
}

HRESULT TMediaSample::GetPointer(BYTE** buffer) {
    if (!buffer) return E_POINTER;
    *buffer = buffer_;
    return S_OK;
}

HRESULT TMediaSample::GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) {
    if (!start || !stop) return E_POINTER;
    if (!timeValid_) return VFW_E_SAMPLE_TIME_NOT_SET;
    *start = start_;
    *stop = stop_;
    return S_OK;
}

HRESULT TMediaSample::SetTime(const REFERENCE_TIME* start, const REFERENCE_TIME* stop) {
    timeValid_ = start != nullptr;
    start_ = start ? *start : 0;
    stop_ = start ? (stop ? *stop : *start + 1) : 0;
    return S_OK;
}

HRESULT TMediaSample::SetSyncPoint(bool value) {
    syncPoint_ = value;
    return S_OK;
}

HRESULT TMediaSample::SetDiscontinuity(bool value) {
    discontinuity_ = value;
    return S_OK;
}

HRESULT TMediaSample::SetActualDataLength(long length) {
    if (length < 0 || length > size_) return E_INVALIDARG;
    actualLength_ = length;
    return S_OK;
}

HRESULT TMediaSample::GetMediaType(AM_MEDIA_TYPE** type) {
    if (!type) return E_POINTER;
    *type = type_ ? CreateMediaType(type_->get()) : nullptr;
    if (!type_) return S_FALSE;
    return *type ? S_OK : E_OUTOFMEMORY;
}

HRESULT TMediaSample::SetMediaType(const AM_MEDIA_TYPE* type) {
    if (type)
        type_ = std::make_unique<TMediaType>(*type);
    else
        type_.reset();
    return S_OK;
}

TMemAllocator::TMemAllocator() : TImplements(u"Memory Allocator", nullptr) {}

TMemAllocator::~TMemAllocator() {
    std::lock_guard lock(mutex_);
    FreeBuffersLocked();
}

HRESULT TMemAllocator::SetProperties(const ALLOCATOR_PROPERTIES& request, ALLOCATOR_PROPERTIES& actual) {
    std::lock_guard lock(mutex_);
    if (committed_ || free_.size() != samples_.size()) return VFW_E_WRONG_STATE;
    if (request.cBuffers < 0 || request.cbBuffer < 0 || request.cbPrefix < 0) return E_INVALIDARG;
    props_ = request;
    if (props_.cbAlign < 1) props_.cbAlign = 1;
    if ((props_.cbAlign & (props_.cbAlign - 1)) != 0) return E_INVALIDARG;
    actual = props_;
    return S_OK;
}

HRESULT TMemAllocator::GetProperties(ALLOCATOR_PROPERTIES& props) {
    std::lock_guard lock(mutex_);
    props = props_;
    return S_OK;
}

HRESULT TMemAllocator::Commit() {
    std::lock_guard lock(mutex_);
    if (committed_) return S_OK;
    if (samples_.empty()) {
        for (long i = 0; i < props_.cBuffers; ++i) {
            auto* buffer = static_cast<BYTE*>(::operator new(size_t(props_.cbPrefix + props_.cbBuffer),
                                                             std::align_val_t(size_t(props_.cbAlign)),
                                                             std::nothrow));
            if (!buffer) {
                FreeBuffersLocked();
                return E_OUTOFMEMORY;
            }
            buffers_.push_back(buffer);
            samples_.push_back(std::make_unique<TMediaSample>(this, buffer + props_.cbPrefix, props_.cbBuffer));
            free_.push_back(samples_.back().get());
        }
    }
    committed_ = true;
    return S_OK;
}

HRESULT TMemAllocator::Decommit() {
    {
        std::lock_guard lock(mutex_);
        committed_ = false;
        if (free_.size() == samples_.size()) FreeBuffersLocked();
    }
    sampleFreed_.notify_all();
    return S_OK;
}

void TMemAllocator::FreeBuffersLocked() {
    free_.clear();
    samples_.clear();
    for (BYTE* buffer : buffers_) ::operator delete(buffer, std::align_val_t(size_t(props_.cbAlign)));
    buffers_.clear();
}

HRESULT TMemAllocator::GetBuffer(TIntfPtr<IMediaSample>& sample, const REFERENCE_TIME*, const REFERENCE_TIME*,
                                 DWORD) {
    std::unique_lock lock(mutex_);
    sampleFreed_.wait(lock, [this] { return !committed_ || !free_.empty(); });
    if (!committed_) {
        sample.Reset();
        return VFW_E_NOT_COMMITTED;
    }
    TMediaSample* taken = free_.back();
    free_.pop_back();
    taken->ClearProperties();
    _AddRef(); // the allocator lives while a sample is out
    lock.unlock();
    sample = taken;
    return S_OK;
}

void TMemAllocator::ReturnSample(TMediaSample* sample) {
    {
        std::lock_guard lock(mutex_);
        free_.push_back(sample);
        if (!committed_ && free_.size() == samples_.size()) FreeBuffersLocked();
    }
    sampleFreed_.notify_all();
    _Release();
}

int TMemAllocator::OutstandingCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(samples_.size() - free_.size());
}

int TMemAllocator::BufferCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(samples_.size());
}
