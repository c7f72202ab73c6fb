#include "platform/ui/MessageBoxService.h"

#include <atomic>

#include "platform/rtl/AppServices.h"
#include "platform/rtl/Threads.h"

namespace {

std::atomic<IMessageBoxService*> registered{nullptr};

} // namespace

IMessageBoxService* SetMessageBoxService(IMessageBoxService* service) { return registered.exchange(service); }

IMessageBoxService* MessageBoxService() { return registered.load(); }

int ShowMessageBox(const String& text, const String& caption, uint32_t flags) {
    int answer = 0;
    // Runs at once on the main thread; a worker waits here until it has run there.
    TThread::Synchronize(TThread::CurrentThread(), [&] {
        IMessageBoxService* service = registered.load();
        answer = service ? service->Show(text, caption, flags) : AppServices().MessageBox(text, caption, flags);
    });
    return answer;
}
