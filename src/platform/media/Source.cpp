#include "platform/media/Source.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/rtl/Conversions.h"

TBCSource::TBCSource(const String& name, IInterface* outer, const TGUID& classId)
    : TBCBaseFilter(name, outer, &stateLock_, classId) {}

TBCSource::~TBCSource() {
    while (!pins_.empty()) delete pins_.back(); // each pin removes itself
}

int TBCSource::GetPinCount() {
    TLock lock(stateLock_);
    return static_cast<int>(pins_.size());
}

TBCBasePin* TBCSource::GetPin(int index) {
    TLock lock(stateLock_);
    return index >= 0 && index < static_cast<int>(pins_.size()) ? pins_[index] : nullptr;
}

HRESULT TBCSource::FindPin(const String& id, TIntfPtr<IPin>& pin) {
    int number = 0;
    if (!TryStrToInt(id, number)) return TBCBaseFilter::FindPin(id, pin);
    TBCBasePin* found = GetPin(number - 1);
    pin = found;
    return found ? S_OK : VFW_E_NOT_FOUND;
}

HRESULT TBCSource::AddPin(TBCSourceStream* pin) {
    TLock lock(stateLock_);
    pins_.push_back(pin);
    IncrementPinVersion();
    return S_OK;
}

HRESULT TBCSource::RemovePin(TBCSourceStream* pin) {
    TLock lock(stateLock_);
    const auto found = std::find(pins_.begin(), pins_.end(), pin);
    if (found == pins_.end()) return S_FALSE;
    pins_.erase(found);
    IncrementPinVersion();
    return S_OK;
}

int TBCSource::FindPinNumber(const IPin* pin) {
    TLock lock(stateLock_);
    for (size_t i = 0; i < pins_.size(); ++i)
        if (static_cast<const IPin*>(pins_[i]) == pin) return static_cast<int>(i);
    return -1;
}

TBCSourceStream::TBCSourceStream(const String& objectName, TBCSource* filter, const String& pinName)
    : TBCBaseOutputPin(objectName, filter, &filter->StateLock(), pinName),
      thread_([this] { return ThreadProc(); }),
      source_(filter) {
    filter->AddPin(this);
}

TBCSourceStream::~TBCSourceStream() {
    source_->RemovePin(this);
    thread_.Close();
}

HRESULT TBCSourceStream::QueryId(String& id) {
    const int number = source_->FindPinNumber(this);
    if (number < 0) return VFW_E_NOT_FOUND;
    id = IntToStr(number + 1);
    return S_OK;
}

HRESULT TBCSourceStream::Active() {
    TLock lock(Lock());
    if (source_->IsActive()) return S_FALSE;
    if (!IsConnected()) return S_OK;
    HRESULT hr = TBCBaseOutputPin::Active();
    if (Failed(hr)) return hr;
    RTL_ASSERT(!thread_.ThreadExists(), "BaseClass: a streaming thread exists already");
    if (!thread_.Create()) return E_FAIL;
    hr = Init();
    if (Failed(hr)) {
        // The thread has ended after answering.
        thread_.Close();
        return hr;
    }
    return PauseThread();
}

HRESULT TBCSourceStream::Inactive() {
    TLock lock(Lock());
    if (!IsConnected()) return S_OK;
    const HRESULT hr = TBCBaseOutputPin::Inactive();
    if (Failed(hr)) return hr;
    if (thread_.ThreadExists()) {
        StopThread();
        Exit();
        thread_.Close();
    }
    return S_OK;
}

HRESULT TBCSourceStream::CheckMediaType(const AM_MEDIA_TYPE& type) {
    TLock lock(Lock());
    TMediaType own;
    if (Failed(GetMediaType(own))) return E_FAIL;
    return MediaTypeMatchesPartial(type, own.get()) ? S_OK : E_FAIL;
}

HRESULT TBCSourceStream::GetMediaType(int position, TMediaType& type) {
    TLock lock(Lock());
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return GetMediaType(type);
}

HRESULT TBCSourceStream::GetMediaType(TMediaType&) { return E_UNEXPECTED; }

DWORD TBCSourceStream::ThreadProc() {
    for (;;) {
        const int command = GetRequest();
        if (command == TBCAMThread::CMD_INIT) break;
        thread_.Reply(E_UNEXPECTED);
    }
    HRESULT hr = OnThreadCreate();
    if (Failed(hr)) {
        OnThreadDestroy();
        thread_.Reply(hr);
        return 1;
    }
    thread_.Reply(S_OK);
    for (;;) {
        const int command = GetRequest();
        if (command == TBCAMThread::CMD_EXIT) {
            thread_.Reply(S_OK);
            break;
        }
        switch (command) {
        case TBCAMThread::CMD_RUN:
        case TBCAMThread::CMD_PAUSE:
            thread_.Reply(S_OK);
            DoBufferProcessingLoop();
            break;
        case TBCAMThread::CMD_STOP: thread_.Reply(S_OK); break;
        default: thread_.Reply(E_NOTIMPL); break;
        }
    }
    hr = OnThreadDestroy();
    return Failed(hr) ? 1 : 0;
}

HRESULT TBCSourceStream::DoBufferProcessingLoop() {
    OnThreadStartPlay();
    for (;;) {
        int command = 0;
        if (CheckRequest(&command)) {
            if (command == TBCAMThread::CMD_STOP) return S_FALSE;
            thread_.Reply(command == TBCAMThread::CMD_RUN || command == TBCAMThread::CMD_PAUSE ? S_OK
                                                                                               : E_UNEXPECTED);
            continue;
        }
        TIntfPtr<IMediaSample> sample;
        if (Failed(GetDeliveryBuffer(sample, nullptr, nullptr, 0))) {
            // Decommitted: a stop command is on its way. This back-off is not
            // media time, so it does not follow a test's manual clock.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        const HRESULT filled = FillBuffer(sample.get());
        if (filled != S_OK) {
            sample.Reset();
            DeliverEndOfStream();
            if (filled == S_FALSE) return S_OK;
            source_->NotifyEvent(EC_ERRORABORT, filled, 0);
            return filled;
        }
        if (Deliver(sample.get()) != S_OK) return S_OK;
    }
}
