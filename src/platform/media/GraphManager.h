#pragma once
// The graph manager: named filters, Render through the pins' own Connect,
// state changes (renderers first) with pre-roll, one reference clock, the
// graph's position, and the event queue delivered to a window.
//
// Control calls come from one thread (the GUI thread); the graph has no
// thread of its own. Streaming threads reach it only through its event sink,
// whose queue has a lock of its own. Run after Stop or a seek does not block:
// when some renderer holds no sample yet it returns S_FALSE, and the start is
// made on the control thread once all are ready (the notify message brings it
// there) or a second later at the latest.

#include <deque>
#include <fstream>
#include <mutex>
#include <vector>

#include "platform/media/BaseObject.h"

inline constexpr TGUID CLSID_FilterGraph = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4B03}");

class TGraphManager
    : public TImplements<TBCUnknown, IGraphBuilder, IMediaControl, IMediaEventEx, IMediaSeeking, IMediaEventSink> {
public:
    TGraphManager();
    ~TGraphManager() override;

    // IGraphBuilder
    HRESULT AddFilter(IBaseFilter* filter, const String& name) override;
    // Stops a graph that is not stopped and disconnects both ends of the filter's pins.
    HRESULT RemoveFilter(IBaseFilter* filter) override;
    HRESULT EnumFilters(TIntfPtr<IEnumFilters>& filters) override;
    // Tries the filters with a free input pin in the order added; then the
    // default renderer of the pin's major type (none for video).
    HRESULT Render(IPin* pin) override;
    HRESULT SetLogFile(const String& fileName) override;
    // IMediaControl
    HRESULT Run() override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    // IMediaEventEx
    HRESULT SetNotifyWindow(HWND window, UINT message, LONG_PTR instance) override;
    HRESULT GetEvent(long* code, LONG_PTR* param1, LONG_PTR* param2, DWORD timeoutMs) override;
    HRESULT FreeEventParams(long code, LONG_PTR param1, LONG_PTR param2) override;
    // IMediaSeeking
    HRESULT GetDuration(REFERENCE_TIME* duration) override;
    HRESULT GetCurrentPosition(REFERENCE_TIME* position) override;
    HRESULT GetStopPosition(REFERENCE_TIME* stop) override;
    HRESULT SetPositions(REFERENCE_TIME* current, DWORD currentFlags, REFERENCE_TIME* stop, DWORD stopFlags) override;
    // IMediaEventSink: any thread.
    HRESULT Notify(long code, LONG_PTR param1, LONG_PTR param2) override;

private:
    struct TQueuedEvent {
        long code;
        LONG_PTR param1, param2;
    };
    // Renderers (no output pins) first.
    std::vector<IBaseFilter*> ControlOrder() const;
    bool AllRenderersReady();
    int ConnectedRendererCount() const;
    void StartRunning(REFERENCE_TIME base);
    void CompletePendingRun();
    // The seeking interfaces of filters with no connected input.
    std::vector<TIntfPtr<IMediaSeeking>> SeekingSources() const;
    REFERENCE_TIME StreamPosition() const;
    void QueueEvent(long code, LONG_PTR param1, LONG_PTR param2);
    void Log(const String& line);

    TIntfPtr<IReferenceClock> clock_;
    std::vector<TIntfPtr<IBaseFilter>> filters_;
    FILTER_STATE state_ = State_Stopped;
    bool runPending_ = false;
    REFERENCE_TIME runRequestedAt_ = 0;
    REFERENCE_TIME base_ = 0;
    REFERENCE_TIME segmentStart_ = 0;
    REFERENCE_TIME frozenPosition_ = 0;
    REFERENCE_TIME stop_ = kMaxReferenceTime;
    REFERENCE_TIME completedPosition_ = 0;
    bool completedPositionKnown_ = false;
    std::ofstream log_;

    // The event side, shared with streaming threads.
    std::mutex eventsMutex_;
    std::deque<TQueuedEvent> events_;
    HWND notifyWindow_ = nullptr;
    UINT notifyMessage_ = 0;
    LONG_PTR notifyInstance_ = 0;
    int completed_ = 0;
    bool complete_ = false;
    int expectedCompletions_ = 0;
};
