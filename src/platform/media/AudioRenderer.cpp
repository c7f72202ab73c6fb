#include "platform/media/AudioRenderer.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/media/MediaFormats.h"

namespace {

constexpr REFERENCE_TIME kAudioQueueLength = 500 * kUnitsPerMs;
constexpr REFERENCE_TIME kAudioChunk = 10 * kUnitsPerMs;
constexpr REFERENCE_TIME kAudioLateLimit = 40 * kUnitsPerMs;
constexpr long kSilentAttenuation = -10000;

std::atomic<int> gAudioProbeOverride{-1};

double GainOf(long hundredthsDb) {
    return hundredthsDb <= kSilentAttenuation ? 0.0 : std::pow(10.0, double(hundredthsDb) / 2000.0);
}

} // namespace

bool CanRenderAudio() {
    const int answer = gAudioProbeOverride.load();
    return answer < 0 || answer == 1;
}

void SetAudioProbeOverride(std::optional<bool> answer) { gAudioProbeOverride = answer ? int(*answer) : -1; }

TAudioRenderer::TAudioRenderer()
    : TImplements(u"Audio Renderer", CLSID_AudioRenderer, u"Audio Input pin"),
      clockChanged_([this] {
          std::lock_guard lock(mutex_);
          changed_.notify_all();
      }),
      device_([this] { DeviceLoop(); }) {}

TAudioRenderer::~TAudioRenderer() {
    {
        std::lock_guard lock(mutex_);
        terminated_ = true;
        ChangedLocked();
    }
    device_.join();
}

void TAudioRenderer::ChangedLocked() {
    ++generation_;
    changed_.notify_all();
}

HRESULT TAudioRenderer::CheckMediaType(const AM_MEDIA_TYPE& type) {
    const WAVEFORMATEX* format = WaveFormatOf(type);
    if (type.majortype != MEDIATYPE_Audio || !format) return E_INVALIDARG;
    if (format->wFormatTag != WAVE_FORMAT_PCM || format->wBitsPerSample != 16) return E_INVALIDARG;
    if (format->nChannels < 1 || format->nChannels > 8 || format->nSamplesPerSec == 0) return E_INVALIDARG;
    return S_OK;
}

HRESULT TAudioRenderer::SetMediaType(const AM_MEDIA_TYPE& type) {
    std::lock_guard lock(mutex_);
    format_ = *WaveFormatOf(type);
    format_.nBlockAlign = static_cast<WORD>(format_.nChannels * 2);
    format_.nAvgBytesPerSec = format_.nSamplesPerSec * format_.nBlockAlign;
    return S_OK;
}

REFERENCE_TIME TAudioRenderer::BytesToTime(int64_t bytes) const {
    return format_.nAvgBytesPerSec ? bytes * kUnitsPerSecond / format_.nAvgBytesPerSec : 0;
}

int64_t TAudioRenderer::TimeToBytes(REFERENCE_TIME time) const {
    const int64_t frames = time * format_.nSamplesPerSec / kUnitsPerSecond;
    return frames * format_.nBlockAlign;
}

bool TAudioRenderer::IsReady() const {
    std::lock_guard lock(mutex_);
    return !queue_.empty() || ended_;
}

HRESULT TAudioRenderer::Receive(IMediaSample* sample) {
    REFERENCE_TIME start = 0, stop = 0;
    const bool timed = Succeeded(sample->GetTime(&start, &stop));
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    std::span<const BYTE> bytes(data, size_t(sample->GetActualDataLength()));
    std::unique_lock lock(mutex_);
    if (flushing_ || runState_ == State_Stopped) return S_FALSE;
    if (timed && start < 0) {
        // Nothing before the segment start.
        const size_t skip = size_t(std::min<int64_t>(TimeToBytes(-start), int64_t(bytes.size())));
        bytes = bytes.subspan(skip);
        start = 0;
    }
    if (bytes.empty()) return S_OK;
    if (queue_.empty()) queueStart_ = timed ? start : devicePos_;
    const size_t capacity = size_t(TimeToBytes(kAudioQueueLength));
    while (!bytes.empty()) {
        const uint64_t seen = generation_;
        changed_.wait(lock, [&] {
            return generation_ != seen || queue_.size() < capacity || flushing_ || runState_ == State_Stopped;
        });
        if (flushing_ || runState_ == State_Stopped) return S_FALSE;
        const size_t room = capacity > queue_.size() ? capacity - queue_.size() : 0;
        const size_t take = std::min(room, bytes.size());
        queue_.insert(queue_.end(), bytes.begin(), bytes.begin() + take);
        bytes = bytes.subspan(take);
        if (!readyNotified_) {
            readyNotified_ = true;
            lock.unlock();
            NotifyEvent(EC_RENDERER_READY, 0, 0);
            lock.lock();
        }
    }
    return S_OK;
}

HRESULT TAudioRenderer::EndOfStream() {
    std::unique_lock lock(mutex_);
    if (flushing_ || runState_ == State_Stopped) return S_OK;
    ended_ = true;
    ChangedLocked();
    if (!readyNotified_) {
        readyNotified_ = true;
        lock.unlock();
        NotifyEvent(EC_RENDERER_READY, 0, 0);
    }
    return S_OK;
}

HRESULT TAudioRenderer::BeginFlush() {
    std::lock_guard lock(mutex_);
    flushing_ = true;
    queue_.clear();
    ChangedLocked();
    return S_OK;
}

HRESULT TAudioRenderer::EndFlush() {
    std::lock_guard lock(mutex_);
    flushing_ = false;
    RestartStreamLocked();
    ChangedLocked();
    return S_OK;
}

void TAudioRenderer::RestartStreamLocked() {
    queue_.clear();
    ended_ = completed_ = readyNotified_ = false;
    devicePos_ = 0;
    consumed_ = 0;
}

HRESULT TAudioRenderer::Stop() {
    {
        std::lock_guard lock(mutex_);
        runState_ = State_Stopped;
        RestartStreamLocked();
        ChangedLocked();
    }
    return TBCBaseRenderer::Stop();
}

HRESULT TAudioRenderer::Pause() {
    const HRESULT hr = TBCBaseRenderer::Pause();
    if (Failed(hr)) return hr;
    std::lock_guard lock(mutex_);
    runState_ = State_Paused;
    ChangedLocked();
    return hr;
}

HRESULT TAudioRenderer::Run(REFERENCE_TIME start) {
    const HRESULT hr = TBCBaseRenderer::Run(start);
    if (Failed(hr)) return hr;
    std::lock_guard lock(mutex_);
    base_ = start;
    runState_ = State_Running;
    ChangedLocked();
    return hr;
}

void TAudioRenderer::ConsumeChunkLocked(std::vector<BYTE>& chunk) {
    const size_t size = size_t(TimeToBytes(kAudioChunk));
    chunk.assign(size, 0);
    // Late bytes are dropped rather than played.
    if (!queue_.empty() && queueStart_ < devicePos_ - kAudioLateLimit) {
        const size_t late = size_t(std::min<int64_t>(TimeToBytes(devicePos_ - queueStart_), int64_t(queue_.size())));
        queue_.erase(queue_.begin(), queue_.begin() + late);
        queueStart_ += BytesToTime(int64_t(late));
    }
    size_t offset = 0;
    if (!queue_.empty() && queueStart_ > devicePos_) // early: silence first
        offset = std::min(size, size_t(TimeToBytes(queueStart_ - devicePos_)));
    const size_t take = std::min(size - offset, queue_.size());
    std::copy_n(queue_.begin(), take, chunk.begin() + offset);
    queue_.erase(queue_.begin(), queue_.begin() + take);
    queueStart_ += BytesToTime(int64_t(take));
    consumed_ += int64_t(take);
    devicePos_ += kAudioChunk;
}

void TAudioRenderer::DeviceLoop() {
    std::vector<BYTE> chunk;
    std::unique_lock lock(mutex_);
    while (!terminated_) {
        const uint64_t seen = generation_;
        if (runState_ != State_Running || flushing_ || format_.nAvgBytesPerSec == 0 || completed_) {
            changed_.wait(lock, [&] { return generation_ != seen; });
            continue;
        }
        if (queue_.empty() && ended_) {
            completed_ = true;
            lock.unlock();
            NotifyEvent(EC_COMPLETE, S_OK, 0);
            lock.lock();
            continue;
        }
        // The chunk starting at devicePos_ is played once its time has come.
        const REFERENCE_TIME due = base_ + devicePos_;
        const uint64_t dueMs = due <= 0 ? 0 : uint64_t((due + kUnitsPerMs - 1) / kUnitsPerMs);
        if (WaitForClock(changed_, lock, dueMs, [&] { return generation_ != seen; })) continue;
        ConsumeChunkLocked(chunk);
        ApplyGain(chunk);
        ChangedLocked(); // room in the queue
        const auto tap = tap_;
        lock.unlock();
        if (tap) tap(chunk);
        lock.lock();
    }
}

void TAudioRenderer::ApplyGain(std::span<BYTE> bytes) const {
    if (volume_ == 0 && balance_ == 0) return;
    const double volume = GainOf(volume_);
    const double left = volume * (balance_ > 0 ? GainOf(-balance_) : 1.0);
    const double right = volume * (balance_ < 0 ? GainOf(balance_) : 1.0);
    auto* samples = reinterpret_cast<int16_t*>(bytes.data());
    const size_t count = bytes.size() / 2;
    const int channels = std::max<int>(1, format_.nChannels);
    for (size_t i = 0; i < count; ++i) {
        // Odd channels of a stereo pair are the right ones.
        const double gain = channels >= 2 && i % channels == 1 ? right : left;
        samples[i] = static_cast<int16_t>(std::lround(samples[i] * gain));
    }
}

HRESULT TAudioRenderer::put_Volume(long volume) {
    if (volume < kSilentAttenuation || volume > 0) return E_INVALIDARG;
    std::lock_guard lock(mutex_);
    volume_ = volume;
    return S_OK;
}

HRESULT TAudioRenderer::get_Volume(long* volume) {
    if (!volume) return E_POINTER;
    std::lock_guard lock(mutex_);
    *volume = volume_;
    return S_OK;
}

HRESULT TAudioRenderer::put_Balance(long balance) {
    if (balance < -10000 || balance > 10000) return E_INVALIDARG;
    std::lock_guard lock(mutex_);
    balance_ = balance;
    return S_OK;
}

HRESULT TAudioRenderer::get_Balance(long* balance) {
    if (!balance) return E_POINTER;
    std::lock_guard lock(mutex_);
    *balance = balance_;
    return S_OK;
}

void TAudioRenderer::SetTap(std::function<void(std::span<const BYTE>)> tap) {
    std::lock_guard lock(mutex_);
    tap_ = std::move(tap);
}

int64_t TAudioRenderer::BytesConsumed() const {
    std::lock_guard lock(mutex_);
    return consumed_;
}

int64_t TAudioRenderer::QueuedBytes() const {
    std::lock_guard lock(mutex_);
    return int64_t(queue_.size());
}
