#include "platform/media/GraphManager.h"

#include <algorithm>

#include "platform/media/AudioRenderer.h"
#include "platform/media/GraphUtil.h"
#include "platform/media/MediaTypeRecords.h"
#include "platform/media/ReferenceClock.h"
#include "platform/rtl/Conversions.h"
#include "platform/win/message/Messages.h"

namespace {

constexpr REFERENCE_TIME kLongestPreroll = kUnitsPerSecond;

class TGraphFilterEnum : public TImplements<TBCUnknown, IEnumFilters> {
public:
    explicit TGraphFilterEnum(std::vector<TIntfPtr<IBaseFilter>> filters)
        : TImplements(u"Filter Enumerator", nullptr), filters_(std::move(filters)) {}

    HRESULT Next(ULONG count, TIntfPtr<IBaseFilter>* filters, ULONG* fetched) override {
        if (!filters) return E_POINTER;
        if (!fetched && count > 1) return E_INVALIDARG;
        ULONG given = 0;
        while (given < count && position_ < filters_.size()) filters[given++] = filters_[position_++];
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT Reset() override {
        position_ = 0;
        return S_OK;
    }

private:
    std::vector<TIntfPtr<IBaseFilter>> filters_;
    size_t position_ = 0;
};

PIN_DIRECTION DirectionOf(IPin* pin) {
    PIN_DIRECTION direction = PINDIR_INPUT;
    pin->QueryDirection(&direction);
    return direction;
}

bool HasPinOf(IBaseFilter* filter, PIN_DIRECTION direction, bool connectedOnly) {
    const TPinList pins(filter);
    for (int i = 0; i < pins.Count(); ++i)
        if (DirectionOf(pins.Items(i)) == direction && (!connectedOnly || pins.Connected(i))) return true;
    return false;
}

TGUID MajorTypeOf(IPin* pin) {
    TIntfPtr<IEnumMediaTypes> types;
    AM_MEDIA_TYPE* type = nullptr;
    ULONG fetched = 0;
    if (Failed(pin->EnumMediaTypes(types)) || types->Next(1, &type, &fetched) != S_OK) return GUID_NULL;
    const TGUID major = type->majortype;
    DeleteMediaType(type);
    return major;
}

bool IsRenderer(IBaseFilter* filter) { return !HasPinOf(filter, PINDIR_OUTPUT, false); }

String FilterNameOf(IBaseFilter* filter) {
    String name;
    TIntfPtr<IGraphBuilder> graph;
    filter->QueryFilterInfo(name, graph);
    return name;
}

REFERENCE_TIME SaturatingAdd(REFERENCE_TIME a, REFERENCE_TIME b) {
    REFERENCE_TIME sum;
    if (__builtin_add_overflow(a, b, &sum)) return b > 0 ? kMaxReferenceTime : INT64_MIN;
    return sum;
}

} // namespace

TGraphManager::TGraphManager() : TImplements(u"Filter Graph", nullptr), clock_(MakeIntf<TSystemReferenceClock>()) {}

TGraphManager::~TGraphManager() {
    Stop();
    while (!filters_.empty()) RemoveFilter(filters_.back().get());
}

void TGraphManager::Log(const String& line) {
    if (log_.is_open()) log_ << line.ToUtf8() << '\n' << std::flush;
}

HRESULT TGraphManager::SetLogFile(const String& fileName) {
    log_.close();
    if (fileName.IsEmpty()) return S_OK;
    log_.open(fileName.ToUtf8(), std::ios::out | std::ios::app);
    return log_.is_open() ? S_OK : E_FAIL;
}

HRESULT TGraphManager::AddFilter(IBaseFilter* filter, const String& name) {
    if (!filter) return E_POINTER;
    if (std::any_of(filters_.begin(), filters_.end(), [&](const auto& f) { return f.get() == filter; }))
        return S_FALSE;
    const HRESULT hr = filter->JoinFilterGraph(this, name);
    if (Failed(hr)) return hr;
    filter->SetSyncSource(clock_.get());
    filters_.emplace_back(filter);
    Log(u"add filter \"" + name + u"\"");
    return S_OK;
}

HRESULT TGraphManager::RemoveFilter(IBaseFilter* filter) {
    const auto found =
        std::find_if(filters_.begin(), filters_.end(), [&](const auto& f) { return f.get() == filter; });
    if (found == filters_.end()) return VFW_E_NOT_FOUND;
    if (state_ != State_Stopped || runPending_) Stop();
    const TPinList pins(filter);
    for (int i = 0; i < pins.Count(); ++i) {
        TIntfPtr<IPin> other;
        if (pins.Items(i)->ConnectedTo(other) == S_OK && other) other->Disconnect();
        pins.Items(i)->Disconnect();
    }
    Log(u"remove filter \"" + FilterNameOf(filter) + u"\"");
    TIntfPtr<IBaseFilter> keep = *found;
    filters_.erase(found);
    keep->SetSyncSource(nullptr);
    keep->JoinFilterGraph(nullptr, String());
    return S_OK;
}

HRESULT TGraphManager::EnumFilters(TIntfPtr<IEnumFilters>& filters) {
    filters = MakeIntf<TGraphFilterEnum>(filters_);
    return S_OK;
}

HRESULT TGraphManager::Render(IPin* pin) {
    if (!pin) return E_POINTER;
    for (const auto& filter : filters_) {
        const TPinList pins(filter.get());
        for (int i = 0; i < pins.Count(); ++i) {
            if (DirectionOf(pins.Items(i)) != PINDIR_INPUT || pins.Connected(i)) continue;
            if (Succeeded(pin->Connect(pins.Items(i), nullptr))) {
                AM_MEDIA_TYPE type;
                pin->ConnectionMediaType(&type);
                Log(u"connect to \"" + FilterNameOf(filter.get()) + u"\" as " + GUIDToString(type.subtype));
                FreeMediaType(type);
                return S_OK;
            }
        }
    }
    // The default renderer of the pin's major type: audio only (the video
    // window's renderer is always in the graph first).
    if (MajorTypeOf(pin) == MEDIATYPE_Audio && CanRenderAudio()) {
        const TIntfPtr<TAudioRenderer> renderer = MakeIntf<TAudioRenderer>();
        AddFilter(renderer.get(), u"Audio Renderer");
        if (Succeeded(pin->Connect(renderer->InputPin(), nullptr))) {
            Log(u"connect to \"Audio Renderer\" as PCM");
            return S_OK;
        }
        RemoveFilter(renderer.get());
    }
    Log(u"cannot render a pin");
    return VFW_E_CANNOT_RENDER;
}

std::vector<IBaseFilter*> TGraphManager::ControlOrder() const {
    std::vector<IBaseFilter*> order;
    for (const auto& f : filters_)
        if (IsRenderer(f.get())) order.push_back(f.get());
    for (const auto& f : filters_)
        if (!IsRenderer(f.get())) order.push_back(f.get());
    return order;
}

int TGraphManager::ConnectedRendererCount() const {
    return static_cast<int>(std::count_if(filters_.begin(), filters_.end(), [](const auto& f) {
        return IsRenderer(f.get()) && HasPinOf(f.get(), PINDIR_INPUT, true);
    }));
}

bool TGraphManager::AllRenderersReady() {
    for (const auto& f : filters_) {
        FILTER_STATE state;
        if (IsRenderer(f.get()) && f->GetState(0, &state) == VFW_S_STATE_INTERMEDIATE) return false;
    }
    return true;
}

HRESULT TGraphManager::Pause() {
    if (state_ == State_Running && !runPending_) frozenPosition_ = StreamPosition();
    runPending_ = false;
    {
        std::lock_guard lock(eventsMutex_);
        expectedCompletions_ = ConnectedRendererCount();
    }
    for (IBaseFilter* filter : ControlOrder()) {
        const HRESULT hr = filter->Pause();
        if (Failed(hr)) return hr;
    }
    state_ = State_Paused;
    Log(u"state paused");
    if (!AllRenderersReady()) return S_FALSE;
    QueueEvent(EC_PAUSED, S_OK, 0);
    return S_OK;
}

HRESULT TGraphManager::Run() {
    if (state_ == State_Running && !runPending_) return S_OK;
    if (state_ == State_Stopped) {
        const HRESULT hr = Pause();
        if (Failed(hr)) return hr;
    }
    if (AllRenderersReady()) {
        StartRunning(ReferenceTimeNow());
        return S_OK;
    }
    runPending_ = true;
    runRequestedAt_ = ReferenceTimeNow();
    return S_FALSE;
}

void TGraphManager::StartRunning(REFERENCE_TIME base) {
    runPending_ = false;
    // Stream time goes on from where it stood.
    base_ = base - (frozenPosition_ - segmentStart_);
    for (IBaseFilter* filter : ControlOrder()) filter->Run(base_);
    state_ = State_Running;
    Log(u"state running");
}

void TGraphManager::CompletePendingRun() {
    if (!runPending_) return;
    const REFERENCE_TIME now = ReferenceTimeNow();
    if (AllRenderersReady())
        StartRunning(now);
    else if (now >= runRequestedAt_ + kLongestPreroll)
        StartRunning(runRequestedAt_ + kLongestPreroll);
}

HRESULT TGraphManager::Stop() {
    runPending_ = false;
    HRESULT result = S_OK;
    for (IBaseFilter* filter : ControlOrder()) {
        const HRESULT hr = filter->Stop();
        if (Failed(hr) && Succeeded(result)) result = hr;
    }
    if (state_ != State_Stopped) Log(u"state stopped");
    state_ = State_Stopped;
    frozenPosition_ = segmentStart_;
    completedPositionKnown_ = false;
    std::lock_guard lock(eventsMutex_);
    completed_ = 0;
    complete_ = false;
    return result;
}

HRESULT TGraphManager::GetState(DWORD, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    CompletePendingRun();
    *state = state_;
    if (runPending_) {
        *state = State_Paused;
        return VFW_S_STATE_INTERMEDIATE;
    }
    return state_ == State_Paused && !AllRenderersReady() ? VFW_S_STATE_INTERMEDIATE : S_OK;
}

REFERENCE_TIME TGraphManager::StreamPosition() const {
    return std::clamp(SaturatingAdd(segmentStart_, ReferenceTimeNow() - base_), REFERENCE_TIME(0), stop_);
}

HRESULT TGraphManager::GetCurrentPosition(REFERENCE_TIME* position) {
    if (!position) return E_POINTER;
    CompletePendingRun();
    bool complete;
    {
        std::lock_guard lock(eventsMutex_);
        complete = complete_;
    }
    if (complete) {
        // The stop position; without a known one, where the stream ended.
        if (!completedPositionKnown_) {
            REFERENCE_TIME stop = kMaxReferenceTime;
            GetStopPosition(&stop);
            completedPosition_ = stop != kMaxReferenceTime ? stop : StreamPosition();
            completedPositionKnown_ = true;
        }
        *position = completedPosition_;
    } else if (state_ == State_Running && !runPending_)
        *position = StreamPosition();
    else
        *position = std::clamp(frozenPosition_, REFERENCE_TIME(0), stop_);
    return S_OK;
}

std::vector<TIntfPtr<IMediaSeeking>> TGraphManager::SeekingSources() const {
    std::vector<TIntfPtr<IMediaSeeking>> result;
    for (const auto& f : filters_) {
        TIntfPtr<IMediaSeeking> seeking;
        if (!HasPinOf(f.get(), PINDIR_INPUT, true) && Supports(f, seeking)) result.push_back(seeking);
    }
    return result;
}

HRESULT TGraphManager::GetDuration(REFERENCE_TIME* duration) {
    if (!duration) return E_POINTER;
    for (const auto& seeking : SeekingSources())
        if (seeking->GetDuration(duration) == S_OK) return S_OK;
    return E_NOTIMPL;
}

HRESULT TGraphManager::GetStopPosition(REFERENCE_TIME* stop) {
    if (!stop) return E_POINTER;
    *stop = stop_;
    if (stop_ == kMaxReferenceTime) GetDuration(stop);
    return S_OK;
}

HRESULT TGraphManager::SetPositions(REFERENCE_TIME* current, DWORD currentFlags, REFERENCE_TIME* stop,
                                   DWORD stopFlags) {
    const bool wasRunning = state_ == State_Running || runPending_;
    if (wasRunning) Pause();
    HRESULT result = E_NOTIMPL;
    for (const auto& seeking : SeekingSources()) {
        const HRESULT hr = seeking->SetPositions(current, currentFlags, stop, stopFlags);
        if (Failed(hr)) return hr;
        result = hr;
    }
    if ((stopFlags & AM_SEEKING_PositioningBitsMask) == AM_SEEKING_AbsolutePositioning && stop) stop_ = *stop;
    if ((currentFlags & AM_SEEKING_PositioningBitsMask) == AM_SEEKING_AbsolutePositioning && current) {
        segmentStart_ = frozenPosition_ = std::clamp(*current, REFERENCE_TIME(0), stop_);
        completedPositionKnown_ = false;
        std::lock_guard lock(eventsMutex_);
        completed_ = 0;
        complete_ = false;
    }
    Log(u"seek");
    if (wasRunning) Run();
    return result;
}

HRESULT TGraphManager::Notify(long code, LONG_PTR param1, LONG_PTR param2) {
    if (code == EC_COMPLETE) {
        {
            std::lock_guard lock(eventsMutex_);
            if (complete_ || ++completed_ < expectedCompletions_) return S_OK;
            complete_ = true;
        }
        QueueEvent(EC_COMPLETE, S_OK, 0);
        return S_OK;
    }
    if (code == EC_RENDERER_READY) {
        HWND window;
        UINT message;
        LONG_PTR instance;
        {
            std::lock_guard lock(eventsMutex_);
            window = notifyWindow_;
            message = notifyMessage_;
            instance = notifyInstance_;
        }
        // The control thread completes a pending start when it looks for events.
        if (window) PostMessageW(window, message, 0, instance);
        return S_OK;
    }
    QueueEvent(code, param1, param2);
    return S_OK;
}

void TGraphManager::QueueEvent(long code, LONG_PTR param1, LONG_PTR param2) {
    HWND window;
    UINT message;
    LONG_PTR instance;
    {
        std::lock_guard lock(eventsMutex_);
        const bool wasEmpty = events_.empty();
        events_.push_back({code, param1, param2});
        if (!wasEmpty || !notifyWindow_) return;
        window = notifyWindow_;
        message = notifyMessage_;
        instance = notifyInstance_;
    }
    PostMessageW(window, message, 0, instance);
}

HRESULT TGraphManager::SetNotifyWindow(HWND window, UINT message, LONG_PTR instance) {
    std::lock_guard lock(eventsMutex_);
    notifyWindow_ = window;
    notifyMessage_ = message;
    notifyInstance_ = instance;
    return S_OK;
}

HRESULT TGraphManager::GetEvent(long* code, LONG_PTR* param1, LONG_PTR* param2, DWORD) {
    if (!code || !param1 || !param2) return E_POINTER;
    CompletePendingRun();
    std::lock_guard lock(eventsMutex_);
    if (events_.empty()) return E_ABORT;
    const TQueuedEvent event = events_.front();
    events_.pop_front();
    *code = event.code;
    *param1 = event.param1;
    *param2 = event.param2;
    Log(u"event " + IntToStr(int(event.code)));
    return S_OK;
}

HRESULT TGraphManager::FreeEventParams(long, LONG_PTR, LONG_PTR) { return S_OK; }
