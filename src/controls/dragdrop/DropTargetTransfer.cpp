#include "controls/dragdrop/DropTargetTransfer.h"

#include "controls/dragdrop/DropTarget.h"

TDropTargetTransferThread::TDropTargetTransferThread(TCustomDropTarget& dropTarget, DWORD effect,
                                                     TIntfPtr<IAsyncOperation> operation)
    : TThread(true), dropTarget_(dropTarget), effect_(effect), operation_(std::move(operation)) {
    SetFreeOnTerminate(true);
    OnTerminate = [&dropTarget](TObject*) { dropTarget.EndAsyncTransfer(); };
}

void TDropTargetTransferThread::Execute() {
    CoInitialize(nullptr);
    HRESULT result = S_OK;
    DWORD effect = effect_;
    try {
        dropTarget_.TransferData(effect);
    } catch (const EOleSysError& e) {
        result = e.ErrorCode();
    } catch (...) {
        result = E_UNEXPECTED;
    }
    operation_->EndOperation(result, nullptr, effect);
    operation_.Reset();
    CoUninitialize();
}
