// The media graph's costs against plain work on the same bytes, measured in
// the same run: (a) a 1080p YV12 frame pushed through allocator, output pin
// and delivery into an input pin that only lets go of it, against a memcpy of
// the frame; (b) the video renderer converting and painting a 1080p frame into
// 640 x 360 and 1920 x 1080 windows, against a bare sws_scale of the same
// conversion; (c) the audio renderer's CPU time per second of 48 kHz stereo on
// the silent device.

#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>
#include <vector>

#include "BenchTiming.h"
#include "engine/AVLib.h"
#include "platform/media/AudioRenderer.h"
#include "platform/media/BaseInputPin.h"
#include "platform/media/BaseOutputPin.h"
#include "platform/media/MediaFormats.h"
#include "platform/media/VideoRenderer.h"
#include "platform/win/message/Messages.h"
#include "platform/win/paint/Paint.h"
#include "platform/rtl/Clock.h"
#include "platform/win/window/Windows.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

class TBenchFilter : public TBCBaseFilter {
public:
    TBenchFilter() : TBCBaseFilter(u"Bench", nullptr, &lock_, GUID_NULL) {}
    TBCBasePin* pin = nullptr;
    int GetPinCount() override { return 1; }
    TBCBasePin* GetPin(int index) override { return index == 0 ? pin : nullptr; }

private:
    TCriticalSection lock_;
};

class TBenchOutput : public TBCBaseOutputPin {
public:
    TBenchOutput(TBCBaseFilter* filter, TMediaType type, long bufferSize = 0)
        : TBCBaseOutputPin(u"Bench output", filter, &filter->StateLock(), u"Out"),
          type_(std::move(type)),
          bufferSize_(bufferSize ? bufferSize : long(type_->lSampleSize)) {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE&) override { return S_OK; }
    HRESULT GetMediaType(int position, TMediaType& type) override {
        if (position != 0) return VFW_S_NO_MORE_ITEMS;
        type = type_;
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES& request) override {
        request.cBuffers = 2;
        request.cbBuffer = bufferSize_;
        ALLOCATOR_PROPERTIES actual{};
        return allocator->SetProperties(request, actual);
    }

private:
    TMediaType type_;
    long bufferSize_;
};

class TReleasingInput : public TBCBaseInputPin {
public:
    explicit TReleasingInput(TBCBaseFilter* filter)
        : TBCBaseInputPin(u"Bench input", filter, &filter->StateLock(), u"In") {}
    HRESULT CheckMediaType(const AM_MEDIA_TYPE&) override { return S_OK; }
};

// Fills a sample from Frame and delivers it, as a source pin does.
void PushFrame(TBenchOutput& out, const std::vector<BYTE>& frame) {
    TIntfPtr<IMediaSample> sample;
    out.GetDeliveryBuffer(sample, nullptr, nullptr, 0);
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    std::memcpy(data, frame.data(), frame.size());
    const REFERENCE_TIME start = 0, stop = 400000;
    sample->SetTime(&start, &stop);
    out.Deliver(sample.get());
}

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

} // namespace

int main() {
    LoadAVLib();
    const TMediaType yv12 = VideoInfoType(MEDIASUBTYPE_YV12, kWidth, kHeight, 400000);
    std::vector<BYTE> frame(yv12->lSampleSize);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = BYTE(i * 7);
    std::vector<BYTE> copy(frame.size());

    // (a) delivery.
    double pushTime, copyTime;
    {
        auto up = MakeIntf<TBenchFilter>(), down = MakeIntf<TBenchFilter>();
        auto* out = new TBenchOutput(up.get(), yv12);
        auto* in = new TReleasingInput(down.get());
        up->pin = out;
        down->pin = in;
        out->Connect(in, nullptr);
        down->Pause();
        up->Pause();
        pushTime = TTiming(15).Repeat(20).MedianSeconds([&] { PushFrame(*out, frame); });
        copyTime = TTiming(15).Repeat(20).MedianSeconds([&] { std::memcpy(copy.data(), frame.data(), frame.size()); });
        up->Stop();
        down->Stop();
        out->Disconnect();
        in->Disconnect();
        delete out;
        delete in;
    }
    std::printf("push 1080p YV12 frame %10.1f us   memcpy of the frame %10.1f us\n", pushTime * 1e6, copyTime * 1e6);

    // (b) conversion and paint.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"MediaBenchWindow";
    RegisterClassW(&wc);
    double paintRatios[2];
    const SIZE windows[] = {{640, 360}, {1920, 1080}};
    for (int w = 0; w < 2; ++w) {
        const SIZE size = windows[w];
        const HWND window = CreateWindowExW(0, u"MediaBenchWindow", u"", WS_POPUP | WS_VISIBLE, 0, 0, size.cx,
                                            size.cy, nullptr, nullptr, nullptr, nullptr);
        auto renderer = MakeIntf<TVideoRenderer>();
        renderer->SetWindow(window);
        renderer->SetDestination(RECT{0, 0, size.cx, size.cy});
        auto up = MakeIntf<TBenchFilter>();
        auto* out = new TBenchOutput(up.get(), yv12);
        up->pin = out;
        out->Connect(renderer->InputPin(), nullptr);
        renderer->Pause();
        const REFERENCE_TIME base = REFERENCE_TIME(GetTickCount64()) * kUnitsPerMs;
        renderer->Run(base);
        up->Pause();
        auto pump = [&] {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            UpdateWindow(window);
        };
                const double renderTime = TTiming(9).Repeat(5).MedianSeconds([&] {
            TIntfPtr<IMediaSample> sample;
            out->GetDeliveryBuffer(sample, nullptr, nullptr, 0);
            BYTE* data = nullptr;
            sample->GetPointer(&data);
            std::memcpy(data, frame.data(), frame.size());
            // Due now: converted and painted, never late.
            const REFERENCE_TIME start = REFERENCE_TIME(GetTickCount64()) * kUnitsPerMs - base;
            const REFERENCE_TIME stop = start + 1;
            sample->SetTime(&start, &stop);
            out->Deliver(sample.get());
            pump();
        });
        SwsContext* sws = avlib::sws_getContext(kWidth, kHeight, AV_PIX_FMT_YUV420P, size.cx, size.cy,
                                                AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
        std::vector<uint32_t> target(size_t(size.cx) * size.cy);
        const double scaleTime = TTiming(9).Repeat(5).MedianSeconds([&] {
            const uint8_t* planes[3] = {frame.data(), frame.data() + kWidth * kHeight * 5 / 4,
                                        frame.data() + kWidth * kHeight};
            const int strides[3] = {kWidth, kWidth / 2, kWidth / 2};
            uint8_t* out[1] = {reinterpret_cast<uint8_t*>(target.data())};
            const int outStrides[1] = {int(size.cx) * 4};
            avlib::sws_scale(sws, planes, strides, 0, kHeight, out, outStrides);
        });
        avlib::sws_freeContext(sws);
        std::printf("render 1080p into %dx%d %10.1f us   sws_scale alone %10.1f us\n", int(size.cx), int(size.cy),
                    renderTime * 1e6, scaleTime * 1e6);
        paintRatios[w] = renderTime / scaleTime;
        renderer->Stop();
        up->Stop();
        out->Disconnect();
        renderer->InputPin()->Disconnect();
        delete out;
        renderer->SetWindow(nullptr);
        renderer.Reset();
        DestroyWindow(window);
    }

    // (c) the audio renderer's own CPU per second of audio.
    double audioCpuPercent;
    {
        auto renderer = MakeIntf<TAudioRenderer>();
        const TMediaType pcm = PcmAudioType(2, 48000);
        auto up = MakeIntf<TBenchFilter>();
        std::vector<BYTE> chunk(size_t(pcm->lSampleSize) * 960, 1); // 20 ms
        auto* out = new TBenchOutput(up.get(), pcm, long(chunk.size()));
        up->pin = out;
        out->Connect(renderer->InputPin(), nullptr);
        renderer->Pause();
        renderer->Run(REFERENCE_TIME(GetTickCount64()) * kUnitsPerMs);
        up->Pause();
        const double cpuBefore = ThreadCpuSeconds();
        const auto wallBefore = std::chrono::steady_clock::now();
        for (int i = 0; i < 100; ++i) { // two seconds, at the pace the device takes them
            TIntfPtr<IMediaSample> sample;
            out->GetDeliveryBuffer(sample, nullptr, nullptr, 0);
            BYTE* data = nullptr;
            sample->GetPointer(&data);
            std::memcpy(data, chunk.data(), chunk.size());
            sample->SetActualDataLength(long(chunk.size()));
            const REFERENCE_TIME start = i * 200000, stop = start + 200000;
            sample->SetTime(&start, &stop);
            out->Deliver(sample.get());
        }
        while (renderer->QueuedBytes() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
        audioCpuPercent = (ThreadCpuSeconds() - cpuBefore) / wall * 100;
        renderer->Stop();
        up->Stop();
        out->Disconnect();
        renderer->InputPin()->Disconnect();
        delete out;
    }

    std::printf("ratio push / memcpy: %.2f (target <= 1.5)\n", pushTime / copyTime);
    std::printf("ratio render into 640x360 / sws_scale: %.2f (target <= 1.2)\n", paintRatios[0]);
    std::printf("ratio render into 1920x1080 / sws_scale: %.2f (target <= 1.2)\n", paintRatios[1]);
    std::printf("audio renderer CPU while playing 48 kHz stereo: %.1f %% of a core (target: a few)\n",
                audioCpuPercent);
    return 0;
}
