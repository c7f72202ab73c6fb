#include "platform/ui/stdctrls/MessageDialog.h"

#include "platform/ui/Application.h"
#include "platform/win/controls/MessageBox.h"

namespace {

TMessageDialogService service;
IMessageBoxService* previous = nullptr;

} // namespace

int TMessageDialogService::Show(const String& text, const String& caption, uint32_t flags) {
    return MessageBoxW(Application().ActiveFormHandle(), text.c_str(), caption.c_str(), flags);
}

void InstallMessageDialog() {
    if (MessageBoxService() != &service) previous = SetMessageBoxService(&service);
}

void RemoveMessageDialog() {
    if (MessageBoxService() == &service) SetMessageBoxService(previous);
    previous = nullptr;
}
