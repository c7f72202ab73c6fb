#pragma once
// The program's message box: the window system's box (MessageBoxW), owned by
// the application's active form, else by its main form. The "StdCtrls" unit
// registers it as the message-box service at start and takes it back at the
// end.

#include "platform/ui/MessageBoxService.h"

class TMessageDialogService final : public IMessageBoxService {
public:
    int Show(const String& text, const String& caption, uint32_t flags) override;
};

// The program's service registered; taken back only while it is still the one registered.
void InstallMessageDialog();
void RemoveMessageDialog();
