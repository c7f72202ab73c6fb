#pragma once
// A worker thread driven by a command hand-shake: a caller posts a command and
// waits for the worker's reply; the worker looks for commands when it chooses.
// Callers take turns.

#include <atomic>
#include <functional>
#include <thread>

#include "platform/rtl/Interfaces.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/win/Types.h"

class TBCAMThread : public TObject {
public:
    enum TCommand : int { CMD_INIT = 0, CMD_PAUSE = 1, CMD_RUN = 2, CMD_STOP = 3, CMD_EXIT = 4 };

    explicit TBCAMThread(std::function<DWORD()> threadProc);
    ~TBCAMThread() override;

    // Starts the thread; false when one exists.
    bool Create();
    // Posts Command and waits for the reply; E_FAIL without a thread.
    HRESULT CallWorker(int command);
    // Worker side: waits for a command.
    int GetRequest();
    // Worker side: a pending command, without waiting.
    bool CheckRequest(int* command);
    void Reply(HRESULT value);
    // Waits for the thread to end.
    void Close();
    bool ThreadExists() const noexcept { return exists_.load(); }

    TCriticalSection& WorkerLock() noexcept { return workerLock_; }

private:
    std::function<DWORD()> threadProc_;
    TEvent request_{true, false};
    TEvent complete_{false, false};
    std::atomic<int> param_{0};
    std::atomic<HRESULT> reply_{S_OK};
    TCriticalSection accessLock_;
    TCriticalSection workerLock_;
    std::thread thread_;
    std::atomic<bool> exists_{false};
};
