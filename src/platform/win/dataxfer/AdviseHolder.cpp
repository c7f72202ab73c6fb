#include "platform/win/dataxfer/DataTransfer.h"

HRESULT CreateDataAdviseHolder(TIntfPtr<IDataAdviseHolder>& holder) {
    holder.Reset();
    return E_NOTIMPL;
}
