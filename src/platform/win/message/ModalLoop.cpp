#include "platform/win/input/Input.h"
#include "platform/win/message/Messages.h"
#include "platform/win/message/Retrieve.h"
#include "platform/win/window/Windows.h"

namespace {

// Leaves the loop's traces however it ends.
class TModalScope {
public:
    TModalScope(TQueue& queue, const TModalLoopOptions& options) : queue_(queue), options_(options) {
        if (options_.onStart) options_.onStart();
        ++queue_.modalDepth;
        if (const HWND capture = queue_.capture) {
            SendMessageW(capture, WM_CANCELMODE, 0, 0);
            if (queue_.capture == capture) ReleaseCapture();
        }
        for (HWND h : options_.disable)
            if (IsWindow(h) && IsWindowEnabled(h)) {
                EnableWindow(h, FALSE);
                disabled_.push_back(h);
            }
        if (options_.capture) SetCapture(options_.capture);
    }
    ~TModalScope() {
        if (options_.capture && GetCapture() == options_.capture) ReleaseCapture();
        for (HWND h : disabled_)
            if (IsWindow(h)) EnableWindow(h, TRUE);
        --queue_.modalDepth;
        if (options_.onEnd) options_.onEnd();
    }
    TModalScope(const TModalScope&) = delete;
    TModalScope& operator=(const TModalScope&) = delete;

private:
    TQueue& queue_;
    const TModalLoopOptions& options_;
    std::vector<HWND> disabled_;
};

} // namespace

TModalEnd RunModalLoop(const std::function<bool()>& done, const TModalLoopOptions& options) {
    TQueue& queue = CurrentQueue();
    TModalScope scope(queue, options);
    const TMessageFilter all;
    const auto holding = [&] { return !options.capture || GetCapture() == options.capture; };
    bool idleTold = false;
    while (holding() && !done()) {
        const uint64_t serial = QueueSerial(queue);
        MSG msg;
        if (!LookForMessage(queue, all, true, msg)) {
            if (options.idle && !idleTold) {
                idleTold = true;
                options.idle();
                continue;
            }
            WaitForActivity(queue, all, serial, false, false, 0);
            continue;
        }
        idleTold = false;
        queue.messageTime = msg.time;
        queue.messagePos = msg.pt;
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            return TModalEnd::Quit;
        }
        if (options.filter && options.filter(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return TModalEnd::Done;
}

int ModalLoopDepth() {
    const TQueue* queue = CurrentQueueIfAny();
    return queue ? queue->modalDepth : 0;
}
