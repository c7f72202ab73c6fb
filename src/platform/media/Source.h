#pragma once
// A push source: a filter owning output pins, each streaming on a thread of
// its own from pause to stop, asking the derived pin to fill samples and
// delivering them downstream.

#include <vector>

#include "platform/media/BaseOutputPin.h"
#include "platform/media/WorkerThread.h"

class TBCSourceStream;

class TBCSource : public TBCBaseFilter {
public:
    TBCSource(const String& name, IInterface* outer, const TGUID& classId);
    // Frees every pin (pins left over afterwards are a broken invariant).
    ~TBCSource() override;

    int GetPinCount() override;
    TBCBasePin* GetPin(int index) override;
    // A decimal Id n names the pin at position n - 1; otherwise by pin name.
    HRESULT FindPin(const String& id, TIntfPtr<IPin>& pin) override;

    // Pins add and remove themselves; the filter owns the pins it holds.
    HRESULT AddPin(TBCSourceStream* pin);
    HRESULT RemovePin(TBCSourceStream* pin);
    // The pin's position, -1 when absent.
    int FindPinNumber(const IPin* pin);

private:
    TCriticalSection stateLock_;
    std::vector<TBCSourceStream*> pins_;
};

class TBCSourceStream : public TBCBaseOutputPin {
public:
    // Adds itself to Filter's pins.
    TBCSourceStream(const String& objectName, TBCSource* filter, const String& pinName);
    ~TBCSourceStream() override;

    // The 1-based position as decimal text.
    HRESULT QueryId(String& id) override;
    // Commits the allocator and starts the streaming thread (connected pins only).
    HRESULT Active() override;
    // Decommits the allocator first, which releases a thread waiting for a
    // buffer, then stops the thread and waits for it.
    HRESULT Inactive() override;
    // Partial match of the proposed type against the pin's one type.
    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override;
    using TBCBaseOutputPin::GetMediaType;
    HRESULT GetMediaType(int position, TMediaType& type) override;

    // Streaming thread: fills one sample. S_OK delivers it, S_FALSE ends the
    // stream, other results end it with EC_ERRORABORT.
    virtual HRESULT FillBuffer(IMediaSample* sample) = 0;
    virtual HRESULT OnThreadCreate() { return S_OK; }
    virtual HRESULT OnThreadDestroy() { return S_OK; }
    virtual HRESULT OnThreadStartPlay() { return S_OK; }
    // The pin's one media type.
    virtual HRESULT GetMediaType(TMediaType& type);
    virtual DWORD ThreadProc();
    virtual HRESULT DoBufferProcessingLoop();

    HRESULT Init() { return thread_.CallWorker(TBCAMThread::CMD_INIT); }
    HRESULT Exit() { return thread_.CallWorker(TBCAMThread::CMD_EXIT); }
    HRESULT RunThread() { return thread_.CallWorker(TBCAMThread::CMD_RUN); }
    HRESULT PauseThread() { return thread_.CallWorker(TBCAMThread::CMD_PAUSE); }
    HRESULT StopThread() { return thread_.CallWorker(TBCAMThread::CMD_STOP); }
    int GetRequest() { return thread_.GetRequest(); }
    bool CheckRequest(int* command) { return thread_.CheckRequest(command); }
    bool ThreadExists() const noexcept { return thread_.ThreadExists(); }

protected:
    TBCAMThread thread_;
    TBCSource* source_;
};
