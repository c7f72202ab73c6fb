// Initialisation counters and component creation.

#include "platform/win/dataxfer/DataTransfer.h"

namespace {

thread_local int oleInitCount = 0;
thread_local int comInitCount = 0;

HRESULT Enter(int& count) { return count++ == 0 ? S_OK : S_FALSE; }
void Leave(int& count) {
    if (count > 0) --count;
}

} // namespace

HRESULT OleInitialize(LPVOID) {
    CoInitialize(nullptr);
    return Enter(oleInitCount);
}

void OleUninitialize() {
    Leave(oleInitCount);
    CoUninitialize();
}

HRESULT CoInitialize(LPVOID reserved) { return CoInitializeEx(reserved, COINIT_APARTMENTTHREADED); }
HRESULT CoInitializeEx(LPVOID, DWORD) { return Enter(comInitCount); }
void CoUninitialize() { Leave(comInitCount); }

HRESULT CoCreateInstance(const TGUID&, IInterface*, DWORD, const TGUID&, void** object) {
    if (object) *object = nullptr;
    return REGDB_E_CLASSNOTREG;
}
