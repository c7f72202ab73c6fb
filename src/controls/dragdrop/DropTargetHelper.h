#pragma once
// The shell's drag-image object for drop targets. No component runtime
// provides it here (creating it answers REGDB_E_CLASSNOTREG); drop targets
// ask for it first and fall back to the image-list drag image.

#include "platform/win/dataxfer/DataTransfer.h"

inline constexpr TGUID CLSID_DragDropHelper = TGUID::Parse("{4657278A-411B-11D2-839A-00C04FD918D0}");

class IDropTargetHelper : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{4657278B-411B-11D2-839A-00C04FD918D0}");
    virtual HRESULT DragEnter(HWND target, IDataObject* data, POINT* point, DWORD effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT DragOver(POINT* point, DWORD effect) = 0;
    virtual HRESULT Drop(IDataObject* data, POINT* point, DWORD effect) = 0;
    virtual HRESULT Show(BOOL show) = 0;
};
