#pragma once
// The audio renderer: takes 16-bit PCM of 1 to 8 channels at any rate into a
// queue of about half a second (Receive blocks while it is full) and plays it
// on a device thread of its own in chunks of about 10 ms aligned to stream
// time: silence while early, bytes dropped when more than 40 ms late, nothing
// before the segment start. The device here is the silent one: it consumes
// bytes at the byte rate on the graph's clock, so a graph without sound
// behaves as one with it; a tap lets tests see what was consumed. Volume and
// balance are a software gain; 0 dB and balance 0 leave the bytes untouched.

#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <thread>

#include "platform/media/BaseRenderer.h"

inline constexpr TGUID CLSID_AudioRenderer = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4B05}");

class TAudioRenderer : public TImplements<TBCBaseRenderer, IBasicAudio> {
public:
    TAudioRenderer();
    ~TAudioRenderer() override;

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE& type) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    bool IsReady() const override;

    HRESULT put_Volume(long volume) override;
    HRESULT get_Volume(long* volume) override;
    HRESULT put_Balance(long balance) override;
    HRESULT get_Balance(long* balance) override;

    // Called on the device thread with every chunk the device consumes.
    void SetTap(std::function<void(std::span<const BYTE>)> tap);
    // Bytes of the stream the device has consumed since the last start or flush.
    int64_t BytesConsumed() const;
    // Bytes waiting in the queue.
    int64_t QueuedBytes() const;

protected:
    void DoRenderSample(IMediaSample*) override {}

private:
    void DeviceLoop();
    // Under mutex_: one chunk of the device starting at stream time devicePos_.
    void ConsumeChunkLocked(std::vector<BYTE>& chunk);
    // Under mutex_: drops what is queued and starts the stream over at time 0.
    void RestartStreamLocked();
    void ApplyGain(std::span<BYTE> bytes) const;
    REFERENCE_TIME BytesToTime(int64_t bytes) const;
    int64_t TimeToBytes(REFERENCE_TIME time) const;
    void ChangedLocked();

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t generation_ = 0;
    FILTER_STATE runState_ = State_Stopped;
    REFERENCE_TIME base_ = 0;
    bool flushing_ = false;
    bool ended_ = false;
    bool completed_ = false;
    bool readyNotified_ = false;
    bool terminated_ = false;
    WAVEFORMATEX format_{};
    std::deque<BYTE> queue_;
    REFERENCE_TIME queueStart_ = 0; // stream time of the first queued byte
    REFERENCE_TIME devicePos_ = 0;  // stream time of the next byte the device takes
    int64_t consumed_ = 0;
    long volume_ = 0;
    long balance_ = 0;
    std::function<void(std::span<const BYTE>)> tap_;
    TClockSubscription clockChanged_;
    std::thread device_;
};

// Whether audio can be rendered here (the silent device counts, so yes unless
// a test says otherwise).
bool CanRenderAudio();
void SetAudioProbeOverride(std::optional<bool> answer);
