#pragma once
// The interfaces of the media graph: filters, pins, allocators and samples,
// the clock, and what the graph offers its host. Each carries only the methods
// that filters, the graph or its host call. Out parameters are counted
// references (TIntfPtr) or plain records; results are HRESULTs.

#include "platform/media/MediaTypes.h"
#include "platform/rtl/String.h"

class IPin;
class IEnumPins;
class IEnumMediaTypes;
class IEnumFilters;
class IGraphBuilder;
class IMemAllocator;
class IReferenceClock;

class IMediaSample : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A01}");
    virtual HRESULT GetPointer(BYTE** buffer) = 0;
    virtual long GetSize() = 0;
    // A sample has both times or none (VFW_E_SAMPLE_TIME_NOT_SET).
    virtual HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) = 0;
    // Null start clears the times.
    virtual HRESULT SetTime(const REFERENCE_TIME* start, const REFERENCE_TIME* stop) = 0;
    virtual HRESULT IsSyncPoint() = 0;
    virtual HRESULT SetSyncPoint(bool value) = 0;
    virtual HRESULT IsDiscontinuity() = 0;
    virtual HRESULT SetDiscontinuity(bool value) = 0;
    virtual long GetActualDataLength() = 0;
    virtual HRESULT SetActualDataLength(long length) = 0;
    // S_OK and a new task-memory record (DeleteMediaType frees it) when the
    // sample carries a type change, S_FALSE and null otherwise.
    virtual HRESULT GetMediaType(AM_MEDIA_TYPE** type) = 0;
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE* type) = 0;
};

class IMemAllocator : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A02}");
    virtual HRESULT SetProperties(const ALLOCATOR_PROPERTIES& request, ALLOCATOR_PROPERTIES& actual) = 0;
    virtual HRESULT GetProperties(ALLOCATOR_PROPERTIES& props) = 0;
    virtual HRESULT Commit() = 0;
    virtual HRESULT Decommit() = 0;
    // Blocks until a buffer is free; VFW_E_NOT_COMMITTED when not committed
    // or decommitted while waiting.
    virtual HRESULT GetBuffer(TIntfPtr<IMediaSample>& sample, const REFERENCE_TIME* start,
                              const REFERENCE_TIME* stop, DWORD flags) = 0;
};

class IMemInputPin : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A03}");
    virtual HRESULT GetAllocator(TIntfPtr<IMemAllocator>& allocator) = 0;
    virtual HRESULT NotifyAllocator(IMemAllocator* allocator, bool readOnly) = 0;
    virtual HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES& props) = 0;
    virtual HRESULT Receive(IMediaSample* sample) = 0;
};

class IReferenceClock : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A04}");
    virtual HRESULT GetTime(REFERENCE_TIME* time) = 0;
};

class IMediaEventSink : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A05}");
    virtual HRESULT Notify(long code, LONG_PTR param1, LONG_PTR param2) = 0;
};

class IBaseFilter : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A06}");
    virtual HRESULT GetClassID(TGUID* classId) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Pause() = 0;
    virtual HRESULT Run(REFERENCE_TIME start) = 0;
    virtual HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) = 0;
    virtual HRESULT SetSyncSource(IReferenceClock* clock) = 0;
    virtual HRESULT GetSyncSource(TIntfPtr<IReferenceClock>& clock) = 0;
    virtual HRESULT EnumPins(TIntfPtr<IEnumPins>& pins) = 0;
    virtual HRESULT FindPin(const String& id, TIntfPtr<IPin>& pin) = 0;
    virtual HRESULT QueryFilterInfo(String& name, TIntfPtr<IGraphBuilder>& graph) = 0;
    virtual HRESULT JoinFilterGraph(IGraphBuilder* graph, const String& name) = 0;
};

class IPin : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A07}");
    virtual HRESULT Connect(IPin* receivePin, const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT Disconnect() = 0;
    virtual HRESULT ConnectedTo(TIntfPtr<IPin>& pin) = 0;
    virtual HRESULT ConnectionMediaType(AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT QueryPinInfo(TIntfPtr<IBaseFilter>& filter, PIN_DIRECTION* direction, String& name) = 0;
    virtual HRESULT QueryDirection(PIN_DIRECTION* direction) = 0;
    virtual HRESULT QueryId(String& id) = 0;
    virtual HRESULT QueryAccept(const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT EnumMediaTypes(TIntfPtr<IEnumMediaTypes>& types) = 0;
    virtual HRESULT EndOfStream() = 0;
    virtual HRESULT BeginFlush() = 0;
    virtual HRESULT EndFlush() = 0;
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) = 0;
};

class IQualityControl : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A08}");
    virtual HRESULT Notify(IBaseFilter* self, const Quality& q) = 0;
    virtual HRESULT SetSink(IQualityControl* sink) = 0;
};

class IEnumPins : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A09}");
    // Pins receives up to Count counted pins; a null Fetched needs Count 1.
    virtual HRESULT Next(ULONG count, TIntfPtr<IPin>* pins, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(TIntfPtr<IEnumPins>& copy) = 0;
};

class IEnumMediaTypes : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A0A}");
    // Types receives task-memory records (DeleteMediaType frees each).
    virtual HRESULT Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(TIntfPtr<IEnumMediaTypes>& copy) = 0;
};

class IEnumFilters : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A0B}");
    virtual HRESULT Next(ULONG count, TIntfPtr<IBaseFilter>* filters, ULONG* fetched) = 0;
    virtual HRESULT Reset() = 0;
};

class IGraphBuilder : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A0C}");
    virtual HRESULT AddFilter(IBaseFilter* filter, const String& name) = 0;
    virtual HRESULT RemoveFilter(IBaseFilter* filter) = 0;
    virtual HRESULT EnumFilters(TIntfPtr<IEnumFilters>& filters) = 0;
    virtual HRESULT Render(IPin* pin) = 0;
    // An empty name stops logging.
    virtual HRESULT SetLogFile(const String& fileName) = 0;
};

class IMediaControl : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A0D}");
    virtual HRESULT Run() = 0;
    virtual HRESULT Pause() = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) = 0;
};

class IMediaEventEx : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A0E}");
    // A null window switches the notification off.
    virtual HRESULT SetNotifyWindow(HWND window, UINT message, LONG_PTR instance) = 0;
    virtual HRESULT GetEvent(long* code, LONG_PTR* param1, LONG_PTR* param2, DWORD timeoutMs) = 0;
    virtual HRESULT FreeEventParams(long code, LONG_PTR param1, LONG_PTR param2) = 0;
};

class IMediaSeeking : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A0F}");
    virtual HRESULT GetDuration(REFERENCE_TIME* duration) = 0;
    virtual HRESULT GetCurrentPosition(REFERENCE_TIME* position) = 0;
    virtual HRESULT GetStopPosition(REFERENCE_TIME* stop) = 0;
    virtual HRESULT SetPositions(REFERENCE_TIME* current, DWORD currentFlags, REFERENCE_TIME* stop,
                                 DWORD stopFlags) = 0;
};

class IBasicAudio : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A10}");
    // Hundredths of a decibel: -10000 (silent) to 0.
    virtual HRESULT put_Volume(long volume) = 0;
    virtual HRESULT get_Volume(long* volume) = 0;
    // -10000 (left only) to 10000 (right only).
    virtual HRESULT put_Balance(long balance) = 0;
    virtual HRESULT get_Balance(long* balance) = 0;
};

class IFileSourceFilter : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4A11}");
    virtual HRESULT Load(const String& fileName, const AM_MEDIA_TYPE* type) = 0;
};
