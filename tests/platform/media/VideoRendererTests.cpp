#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "TestPins.h"
#include "platform/media/VideoRenderer.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/message/Messages.h"
#include "platform/win/paint/Composite.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/window/Windows.h"

using namespace media_test;

namespace {

constexpr int kVideoLeft = 100, kVideoTop = 100;
constexpr uint32_t kWhitePixel = 0xFFFFFF, kBluePixel = 0x0000FF, kBlackPixel = 0x000000;

// A 320 x 180 picture, upper half white, lower half blue, as the type's bytes.
std::vector<BYTE> WhiteOverBlue(bool yv12) {
    constexpr int w = 320, h = 180;
    if (!yv12) {
        std::vector<BYTE> bytes(size_t(w) * h * 4);
        auto* pixels = reinterpret_cast<uint32_t*>(bytes.data());
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) pixels[y * w + x] = y < h / 2 ? 0xFFFFFFFF : 0xFF0000FF;
        return bytes;
    }
    // Limited-range BT.601: white Y 235, U and V 128; blue Y 41, U 240, V 110.
    std::vector<BYTE> bytes(size_t(w) * h * 3 / 2);
    BYTE* luma = bytes.data();
    BYTE* v = luma + w * h;
    BYTE* u = v + (w / 2) * (h / 2);
    for (int y = 0; y < h; ++y) std::memset(luma + y * w, y < h / 2 ? 235 : 41, w);
    for (int y = 0; y < h / 2; ++y) {
        std::memset(u + y * (w / 2), y < h / 4 ? 128 : 240, w / 2);
        std::memset(v + y * (w / 2), y < h / 4 ? 128 : 110, w / 2);
    }
    return bytes;
}

bool NearPixel(uint32_t actual, uint32_t expected) {
    for (int shift : {0, 8, 16})
        if (std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > 4) return false;
    return true;
}

class VideoRendererTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"MediaTestVideoWindow";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, u"MediaTestVideoWindow", u"", WS_POPUP | WS_VISIBLE, kVideoLeft, kVideoTop, 320,
                                  240, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window_, nullptr);
        renderer_ = MakeIntf<TVideoRenderer>();
        renderer_->SetWindow(window_);
        renderer_->SetDestination(RECT{0, 0, 320, 240});
        host_ = MakeIntf<THostFilter>();
        out_ = host_->Add<TFakeOutputPin>();
        out_->Types.push_back(VideoInfoType(GetParam() ? MEDIASUBTYPE_YV12 : MEDIASUBTYPE_RGB32, 320, 180, 400000));
        ASSERT_EQ(out_->Connect(renderer_->InputPin(), nullptr), S_OK);
    }
    void TearDown() override {
        renderer_->Stop();
        host_->Stop();
        if (streaming_.joinable()) streaming_.join();
        DisconnectPair(out_, renderer_->InputPin());
        renderer_->SetWindow(nullptr);
        DestroyWindow(window_);
        renderer_.Reset();
        host_.Reset();
    }

    // Delivers the picture on a thread of its own (a paused renderer keeps it).
    void ShowPicture() {
        ASSERT_EQ(renderer_->Pause(), S_OK);
        ASSERT_EQ(host_->Pause(), S_OK);
        TIntfPtr<IMediaSample> sample;
        ASSERT_EQ(out_->GetDeliveryBuffer(sample, nullptr, nullptr, 0), S_OK);
        const std::vector<BYTE> bytes = WhiteOverBlue(GetParam());
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        std::memcpy(data, bytes.data(), bytes.size());
        const REFERENCE_TIME start = 0, stop = 400000;
        sample->SetTime(&start, &stop);
        sample->SetActualDataLength(static_cast<long>(bytes.size()));
        streaming_ = std::thread([this, sample] { out_->Deliver(sample.get()); });
        while (!renderer_->IsReady()) std::this_thread::yield();
        Pump();
    }
    void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        UpdateWindow(window_);
    }
    uint32_t At(int x, int y) {
        return ComposeDesktop(RECT{kVideoLeft + x, kVideoTop + y, kVideoLeft + x + 1, kVideoTop + y + 1})
                   .Pixel(kVideoLeft + x, kVideoTop + y) &
               0xFFFFFF;
    }
    // Expected colours down the middle column, row by row.
    void ExpectColumn(int x, std::initializer_list<std::pair<int, uint32_t>> rows) {
        for (const auto& [y, pixel] : rows) {
            const uint32_t actual = At(x, y);
            EXPECT_TRUE(NearPixel(actual, pixel)) << "row " << y << ": " << std::hex << actual << " not " << pixel;
        }
    }

    HWND window_ = nullptr;
    TIntfPtr<TVideoRenderer> renderer_;
    TIntfPtr<THostFilter> host_;
    TFakeOutputPin* out_ = nullptr;
    std::thread streaming_;
};

TEST_P(VideoRendererTest, APictureIsLetterBoxedUprightWithBlackBars) {
    ShowPicture();
    ExpectColumn(160, {{0, kBlackPixel}, {29, kBlackPixel}, {31, kWhitePixel}, {110, kWhitePixel},
                       {130, kBluePixel}, {208, kBluePixel}, {211, kBlackPixel}, {239, kBlackPixel}});
    ExpectColumn(2, {{40, kWhitePixel}, {200, kBluePixel}});
}

TEST_P(VideoRendererTest, ResizingLetterBoxesAgainFromTheKeptPicture) {
    ShowPicture();
    SetWindowPos(window_, nullptr, 0, 0, 160, 240, SWP_NOMOVE | SWP_NOZORDER);
    renderer_->SetDestination(RECT{0, 0, 160, 240});
    Pump();
    // 160 x 90 in the middle: rows 75 to 164.
    ExpectColumn(80, {{70, kBlackPixel}, {78, kWhitePixel}, {115, kWhitePixel}, {125, kBluePixel},
                      {161, kBluePixel}, {168, kBlackPixel}});
}

TEST_P(VideoRendererTest, WithoutKeptAspectThePictureFillsTheWindow) {
    ShowPicture();
    renderer_->SetKeepAspect(false);
    Pump();
    ExpectColumn(160, {{1, kWhitePixel}, {100, kWhitePixel}, {140, kBluePixel}, {238, kBluePixel}});
}

TEST_P(VideoRendererTest, TheConnectedPinMayChangeTheTypeWhilePaused) {
    ShowPicture();
    const TMediaType wider = VideoInfoType(GetParam() ? MEDIASUBTYPE_YV12 : MEDIASUBTYPE_RGB32, 640, 180, 400000);
    EXPECT_EQ(renderer_->InputPin()->ReceiveConnection(out_, &wider.get()), S_OK);
    EXPECT_EQ(VideoInfoOf(renderer_->InputPin()->CurrentMediaType().get())->bmiHeader.biWidth, 640);
    TMediaType audio;
    audio->majortype = MEDIATYPE_Audio;
    EXPECT_EQ(renderer_->InputPin()->ReceiveConnection(out_, &audio.get()), VFW_E_TYPE_NOT_ACCEPTED);
    // Another pin is refused as long as this one is connected.
    auto* other = host_->Add<TFakeOutputPin>(u"Other");
    EXPECT_EQ(renderer_->InputPin()->ReceiveConnection(other, &wider.get()), VFW_E_ALREADY_CONNECTED);
}

INSTANTIATE_TEST_SUITE_P(Formats, VideoRendererTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "YV12" : "RGB32"; });

TEST(VideoRendererGeometryTest, PictureRectangles) {
    struct {
        RECT destination;
        int width, height;
        bool keep;
        RECT expected;
    } const cases[] = {
        {{0, 0, 320, 240}, 320, 180, true, {0, 30, 320, 210}},
        {{0, 0, 160, 240}, 320, 180, true, {0, 75, 160, 165}},
        {{0, 0, 400, 100}, 320, 180, true, {111, 0, 289, 100}},
        {{10, 10, 330, 250}, 320, 180, false, {10, 10, 330, 250}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TVideoRenderer::PictureRect(c.destination, c.width, c.height, c.keep), c.expected);
}

} // namespace
