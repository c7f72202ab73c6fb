#pragma once
// Message queues: posting, sending (also across threads), taking messages,
// waiting, timers and the modal loop.
//
// A thread taking messages gets, in this order: messages sent from other
// threads (served, never returned), posted messages, WM_QUIT, input, WM_PAINT
// of windows with something to paint, WM_TIMER of due timers. Consecutive
// mouse moves are merged. Every wait serves sends from other threads; on the
// main thread every wait also runs the calls posted to it through
// TThread::Synchronize and TThread::Queue, and those calls wake it.

#include <exception>
#include <functional>
#include <vector>

#include "platform/win/Constants.h"

// --- Posting -------------------------------------------------------------------
// From any thread. FALSE for a window that does not exist (or whose thread has
// ended); posted messages of a window die with it. A null window posts to the
// calling thread.
BOOL PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// 0xC000-0xFFFF by name (any case); 0 for an empty name.
UINT RegisterWindowMessageW(LPCWSTR name);

// --- Sending -------------------------------------------------------------------
// On the owning thread a direct call. From another thread it waits until the
// owner has processed it, serving sends to the calling thread meanwhile; a
// window that does not exist, goes away or whose thread ends answers 0.
LRESULT SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Whether the message being processed came from another thread.
BOOL InSendMessage();
// Where an exception escaping a procedure that serves another thread's send
// goes (the sender gets 0); by default its text is written to standard error.
void SetCrossThreadExceptionHandler(std::function<void(std::exception_ptr)> handler);

// --- Taking --------------------------------------------------------------------
// Filters: a window (also takes its descendants' messages; (HWND)-1 takes only
// messages posted to the thread), a message range (0, 0 for all; WM_QUIT always
// passes). GetMessageW returns FALSE for WM_QUIT, -1 for a window of another thread.
BOOL GetMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
// PM_REMOVE or PM_NOREMOVE, optionally PM_QS_ flags limiting what is looked at;
// PM_QS_SENDMESSAGE alone serves sends and takes nothing.
BOOL PeekMessageW(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
LRESULT DispatchMessageW(const MSG* msg);
// Blocks until something arrives that was not there before.
BOOL WaitMessage();
// Only without handles: waits until something of WakeMask is there (with
// MWMO_INPUTAVAILABLE also what was there before) or the time-out passes
// (WAIT_TIMEOUT). Sends are served while waiting; QS_SENDMESSAGE alone waits
// for them only, leaving everything else queued, the dispatcher's calls
// included (it returns WAIT_OBJECT_0 once it served one). Timeouts use the
// millisecond clock.
DWORD MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE* handles, DWORD milliseconds, DWORD wakeMask,
                                  DWORD flags);
DWORD GetQueueStatus(UINT flags);
DWORD GetMessagePos();
LONG GetMessageTime();

// --- Timers --------------------------------------------------------------------
// Per window and id (a null window makes a thread timer with a new id); setting
// an id again restarts its period. WM_TIMER comes when the timer is due and
// nothing else is to be taken, at most one per timer however long it was not
// taken, never after KillTimer. A TIMERPROC is called by DispatchMessageW.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);

// --- Modal loop ----------------------------------------------------------------
struct TModalLoopOptions {
    // Disabled while the loop runs; exactly those that were enabled are enabled again.
    std::vector<HWND> disable;
    // Sees every message taken before it is translated and dispatched; true
    // when it handled the message itself.
    std::function<bool(MSG&)> filter;
    std::function<void()> onStart, onEnd;
    // Called once whenever the loop finds nothing left to take, before it
    // waits (a menu's WM_ENTERIDLE); the loop then looks again.
    std::function<void()> idle;
    // Holds the mouse capture for this window while the loop runs (taken after
    // the previous capture was cancelled, released at the end); losing it ends
    // the loop (TModalEnd::Done).
    HWND capture = nullptr;
};
enum class TModalEnd { Done, Quit };
// Runs until Done answers true (asked whenever something was processed) or
// WM_QUIT arrives, which is posted again for the loop outside. The capture
// window is sent WM_CANCELMODE first.
TModalEnd RunModalLoop(const std::function<bool()>& done, const TModalLoopOptions& options = {});
// Modal loops running on the calling thread.
int ModalLoopDepth();
