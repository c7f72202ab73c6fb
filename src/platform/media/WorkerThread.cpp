#include "platform/media/WorkerThread.h"


TBCAMThread::TBCAMThread(std::function<DWORD()> threadProc) : threadProc_(std::move(threadProc)) {}

TBCAMThread::~TBCAMThread() { Close(); }

bool TBCAMThread::Create() {
    TLock lock(accessLock_);
    if (exists_) return false;
    thread_ = std::thread([this] { threadProc_ ? threadProc_() : 0; });
    exists_ = true;
    return true;
}

HRESULT TBCAMThread::CallWorker(int command) {
    TLock lock(accessLock_);
    if (!exists_) return E_FAIL;
    param_ = command;
    request_.SetEvent();
    complete_.WaitFor(INFINITE);
    return reply_;
}

int TBCAMThread::GetRequest() {
    request_.WaitFor(INFINITE);
    return param_;
}

bool TBCAMThread::CheckRequest(int* command) {
    if (request_.WaitFor(0) != wrSignaled) return false;
    if (command) *command = param_;
    return true;
}

void TBCAMThread::Reply(HRESULT value) {
    reply_ = value;
    request_.ResetEvent();
    complete_.SetEvent();
}

void TBCAMThread::Close() {
    TLock lock(accessLock_);
    if (!exists_.exchange(false)) return;
    if (thread_.joinable()) thread_.join();
}
