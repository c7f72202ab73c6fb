#pragma once
// What a data object may offer to let its data be read after the drag has
// ended: the asynchronous mode, and the start and end of the reading.
// The platform's desktop data objects do not offer it.

#include "platform/win/dataxfer/DataTransfer.h"

class IAsyncOperation : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{9E079FF9-DCA5-451C-B93A-6337B2F640B6}");
    virtual HRESULT SetAsyncMode(BOOL doOpAsync) = 0;
    virtual HRESULT GetAsyncMode(BOOL* isOpAsync) = 0;
    virtual HRESULT StartOperation(IInterface* bindContext) = 0;
    virtual HRESULT InOperation(BOOL* inAsyncOp) = 0;
    // The result of the reading and the effect of the drop.
    virtual HRESULT EndOperation(HRESULT result, IInterface* bindContext, DWORD effect) = 0;
};
