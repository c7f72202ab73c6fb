#pragma once
// The worker thread of an asynchronous drop: it reads the drop target's data
// formats and handles the drop, then tells the source how it went. It frees
// itself; its completion runs on the main thread.

#include "controls/dragdrop/AsyncOperation.h"
#include "platform/rtl/Threads.h"

class TCustomDropTarget;

class TDropTargetTransferThread : public TThread {
public:
    TDropTargetTransferThread(TCustomDropTarget& dropTarget, DWORD effect, TIntfPtr<IAsyncOperation> operation);

protected:
    void Execute() override;

private:
    TCustomDropTarget& dropTarget_;
    DWORD effect_;
    TIntfPtr<IAsyncOperation> operation_;
};
