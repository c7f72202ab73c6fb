#pragma once
// The message queue of one thread: posted messages, raw input waiting to be
// turned into messages, messages sent from other threads, the quit request,
// timers, and the input state of the thread (focus, activation, capture, keys,
// caret). The parts other threads touch are guarded by the queue's mutex;
// everything else belongs to the owning thread.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/rtl/String.h"
#include "platform/win/Constants.h"
#include "platform/win/core/Ring.h"
#include "platform/win/core/WaitHost.h"
#include "platform/win/core/Window.h"

// A message sent from another thread; lives on the sender's stack until Done.
struct TSendRecord {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    TQueue* sender = nullptr; // kept alive by the sender, who waits for Done
    TSendRecord* next = nullptr;
    LRESULT result = 0;       // written by the receiver before Done
    bool done = false;        // under the sender's mutex
};

// MouseLeave: the pointer left our windows.
enum class TRawKind : uint8_t { MouseMove, MouseButton, MouseWheel, MouseLeave, Key, ImePreedit, ImeCommit };

// Input as the desktop reports it, turned into messages when the thread takes it.
struct TRawInput {
    TRawKind kind = TRawKind::MouseMove;
    bool down = false;        // button or key pressed
    bool horizontal = false;  // wheel
    bool extended = false;    // key: extended bit
    bool repeat = false;      // key: already down before
    bool autoRepeat = false;  // key: repeated by the desktop
    int button = 0;           // 0 left, 1 right, 2 middle, 3 and 4 extra buttons
    int delta = 0;            // wheel
    UINT vk = 0, scan = 0;
    WORD mouseKeys = 0;       // MK_ state after the event
    bool altDown = false, ctrlDown = false;
    POINT pt{};               // screen
    DWORD time = 0;
    int cursor = 0;           // input-method cursor position
    String text;              // key text or input-method text
    uint64_t id = 0;          // order of arrival
    // Filled when the thread first looks at the entry: the messages it makes
    // (none when it is dropped) and how many of them were taken.
    bool cooked = false;
    int count = 0;
    int stage = 0;
    MSG msgs[3]{};
};

struct TQueueTimer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT period = 0;
    DWORD due = 0;
    TIMERPROC proc = nullptr;
    void (*system)(TQueue&) = nullptr; // internal timers run this instead of a message
};

// A bitmap caret is drawn as a solid one of the given size until bitmaps exist.
struct TCaretState {
    HWND owner = nullptr;
    int width = 0, height = 0;
    POINT pos{};
    int hideCount = 1;     // created hidden
    bool blinkOn = false;  // drawn now
    bool gray = false;
};

struct TImeState {
    bool composing = false;
    HWND target = nullptr;
    String composition;
    String result;
    int cursor = 0;
    DWORD formStyle = 0;   // CFS_ of ImmSetCompositionWindow
    POINT formPoint{};
    RECT formRect{};
};

class TQueue : public std::enable_shared_from_this<TQueue> {
public:
    TQueue();
    ~TQueue();
    TQueue(const TQueue&) = delete;
    TQueue& operator=(const TQueue&) = delete;

    // --- Guarded by mutex ----------------------------------------------------
    std::mutex mutex;
    std::condition_variable wake;
    TRing<MSG> posted;
    TRing<TRawInput> input;
    TSendRecord* sendsFirst = nullptr;
    TSendRecord* sendsLast = nullptr;
    bool quitPending = false;
    int quitCode = 0;
    bool dispatcherPending = false; // the main thread's dispatcher has calls
    bool alive = true;              // false once the thread has ended
    uint64_t serial = 0;            // changes with every arrival
    UINT changedBits = 0;           // QS_ bits that arrived since last asked
    uint64_t inputIds = 0;          // numbers the raw input entries
    std::atomic<bool> serveAnnounced{false}; // a dispatcher call will serve sends
    std::shared_ptr<IWaitHost> waitHost;     // runs the owner's waits (null: the queue's own)

    // Wakes the owner; caller holds the mutex.
    void Notify(UINT bits) {
        ++serial;
        changedBits |= bits;
        wake.notify_all();
        if (waitHost) waitHost->Wake();
    }

    // Wakes the owner whenever a manual clock moves.
    TClockSubscription clock;

    // --- Owner thread only ---------------------------------------------------
    const std::thread::id thread;
    const DWORD threadId;
    TChildList tops;        // top-level windows, z-order
    TChildList messageOnly; // message-only windows
    std::vector<TQueueTimer> timers;
    UINT_PTR nextThreadTimerId = 1;

    HWND focus = nullptr, active = nullptr, capture = nullptr;
    HWND leaveTracked = nullptr; // TrackMouseEvent(TME_LEAVE): told when the pointer leaves it
    BYTE keys[256]{};       // as of the last message taken
    DWORD messageTime = 0;
    POINT messagePos{};

    // Double clicks.
    HWND clickWindow = nullptr;
    int clickButton = -1, clickHit = 0;
    DWORD clickTime = 0;
    POINT clickPt{};
    bool clickWasDouble = false;

    // The last key message taken, for TranslateMessage.
    MSG lastKey{};
    String lastKeyText;
    bool lastKeyValid = false;
    bool altAlone = false; // Alt went down and nothing else since

    TCaretState caret;
    TImeState ime;
    int modalDepth = 0;
    int paintPending = 0;   // windows of the thread with something to paint
};

// The calling thread's queue, made on first use.
TQueue& CurrentQueue();
// Null when the calling thread has none yet.
TQueue* CurrentQueueIfAny() noexcept;
DWORD CurrentThreadId() noexcept;
