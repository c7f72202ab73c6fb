// Initialisation counters, component creation and the clipboard of objects.

#include <mutex>

#include "platform/win/dataxfer/DataTransfer.h"

namespace {

thread_local int oleInitCount = 0;
thread_local int comInitCount = 0;

HRESULT Enter(int& count) { return count++ == 0 ? S_OK : S_FALSE; }
void Leave(int& count) {
    if (count > 0) --count;
}

// The object on the clipboard: this process's own, kept until replaced,
// cleared or flushed.
struct TObjectClipboard {
    std::mutex mutex;
    TIntfPtr<IDataObject> current;
};

TObjectClipboard& ObjectClipboard() {
    static TObjectClipboard clipboard;
    return clipboard;
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

HRESULT OleSetClipboard(IDataObject* data) {
    TIntfPtr<IDataObject> previous;
    TObjectClipboard& clipboard = ObjectClipboard();
    std::lock_guard lock(clipboard.mutex);
    previous = std::exchange(clipboard.current, TIntfPtr<IDataObject>(data));
    return S_OK;
}

HRESULT OleGetClipboard(TIntfPtr<IDataObject>& data) {
    TObjectClipboard& clipboard = ObjectClipboard();
    std::lock_guard lock(clipboard.mutex);
    data = clipboard.current;
    return data ? S_OK : CLIPBRD_E_BAD_DATA;
}

HRESULT OleFlushClipboard() {
    TIntfPtr<IDataObject> previous;
    TObjectClipboard& clipboard = ObjectClipboard();
    std::lock_guard lock(clipboard.mutex);
    previous = std::exchange(clipboard.current, nullptr);
    return S_OK;
}

HRESULT OleIsCurrentClipboard(IDataObject* data) {
    TObjectClipboard& clipboard = ObjectClipboard();
    std::lock_guard lock(clipboard.mutex);
    return data && clipboard.current.get() == data ? S_OK : S_FALSE;
}
