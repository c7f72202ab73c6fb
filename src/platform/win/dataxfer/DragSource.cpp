#include "platform/win/dataxfer/DataTransfer.h"

HRESULT DoDragDrop(IDataObject*, IDropSource*, DWORD, DWORD* effect) {
    if (effect) *effect = DROPEFFECT_NONE;
    return E_NOTIMPL;
}
