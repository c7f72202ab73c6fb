#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "FakeAppServices.h"
#include "platform/rtl/Threads.h"
#include "platform/ui/MessageBoxService.h"
#include "platform/win/message/Messages.h"
#include "platform/win/window/Windows.h"

namespace {

// Long enough for a worker to post its call; a wait ends as soon as it arrives.
constexpr int kPatienceMs = 10'000;

// Records every box it shows, on which thread, and answers IDYES.
class TRecordingBoxService final : public IMessageBoxService {
public:
    int Show(const String& text, const String& caption, uint32_t flags) override {
        shown.push_back({text, caption, flags, std::this_thread::get_id()});
        if (onShow) onShow();
        return IDYES;
    }

    std::vector<TShownBox> shown;
    std::function<void()> onShow;
};

TEST(MessageBoxService, OnTheMainThreadTheServiceAnswersAtOnce) {
    TRecordingBoxService service;
    TMessageBoxServiceScope scope(service);
    EXPECT_EQ(ShowMessageBox("text", "caption", MB_YESNO | MB_ICONQUESTION), IDYES);
    ASSERT_EQ(service.shown.size(), 1u);
    EXPECT_EQ(service.shown[0].text, String("text"));
    EXPECT_EQ(service.shown[0].caption, String("caption"));
    EXPECT_EQ(service.shown[0].flags, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(service.shown[0].thread, std::this_thread::get_id());
}

// The worker asks; the main thread shows the box when it next serves the
// dispatcher, in CheckSynchronize or in a message wait of its loop (which the
// worker's report ends).
TEST(MessageBoxService, AWorkerWaitsUntilTheMainThreadHasAnswered) {
    const std::pair<const char*, std::function<bool()>> pumps[] = {
        {"CheckSynchronize", [] { return CheckSynchronize(kPatienceMs); }},
        {"message wait",
         [] { return MsgWaitForMultipleObjectsEx(0, nullptr, kPatienceMs, QS_POSTMESSAGE, 0) != WAIT_TIMEOUT; }},
    };
    const DWORD mainThread = GetCurrentThreadId();
    for (const auto& [name, pump] : pumps) {
        SCOPED_TRACE(name);
        TRecordingBoxService service;
        TMessageBoxServiceScope scope(service);
        std::atomic<bool> workerReturned = false;
        bool returnedBeforeShown = true;
        service.onShow = [&] { returnedBeforeShown = workerReturned.load(); };
        int answer = 0;
        std::thread worker([&] {
            answer = ShowMessageBox("from a worker", "caption", MB_YESNO);
            workerReturned = true;
            PostThreadMessageW(mainThread, WM_APP, 0, 0);
        });
        EXPECT_TRUE(pump());
        worker.join();
        MSG report;
        while (PeekMessageW(&report, nullptr, 0, 0, PM_REMOVE)) {}
        EXPECT_EQ(answer, IDYES);
        ASSERT_EQ(service.shown.size(), 1u);
        EXPECT_EQ(service.shown[0].thread, std::this_thread::get_id());
        EXPECT_EQ(service.shown[0].text, String("from a worker"));
        EXPECT_FALSE(returnedBeforeShown);
    }
}

TEST(MessageBoxService, WithoutAServiceTheApplicationServicesAnswer) {
    TFakeAppServices application;
    EXPECT_EQ(ShowMessageBox("first", "caption", MB_OK), IDOK);
    TRecordingBoxService service;
    {
        TMessageBoxServiceScope scope(service);
        EXPECT_EQ(ShowMessageBox("second", "caption", MB_YESNO), IDYES);
    }
    EXPECT_EQ(SetMessageBoxService(&service), nullptr);
    EXPECT_EQ(SetMessageBoxService(nullptr), &service);
    EXPECT_EQ(ShowMessageBox("third", "caption", MB_OK), IDOK);

    ASSERT_EQ(application.boxes.size(), 2u);
    EXPECT_EQ(application.boxes[0].text, String("first"));
    EXPECT_EQ(application.boxes[1].text, String("third"));
    ASSERT_EQ(service.shown.size(), 1u);
    EXPECT_EQ(service.shown[0].text, String("second"));
}

} // namespace
