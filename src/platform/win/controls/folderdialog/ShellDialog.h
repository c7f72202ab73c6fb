#pragma once
// What the shell's dialogs share: a window class per dialog whose procedure
// finds the dialog object in GWLP_USERDATA, children made with the GUI font,
// and the modal run (owner and the thread's windows disabled, the owner told
// WM_ENTERIDLE, the active window and focus given back).

#include <functional>

#include "platform/rtl/String.h"
#include "platform/win/User.h"

class TShellDialog {
public:
    TShellDialog() = default;
    virtual ~TShellDialog();
    TShellDialog(const TShellDialog&) = delete;
    TShellDialog& operator=(const TShellDialog&) = delete;

    HWND Window() const { return dialog_; }

protected:
    // Makes the hidden dialog window of class Class (registered on first use).
    bool CreateDialogWindow(const char16_t* cls, HWND owner, const String& caption, DWORD style, SIZE client);
    HWND Child(const char16_t* cls, const String& text, DWORD style, int id, DWORD exStyle = 0);
    // Shows the dialog and runs its loop until Finished; false when WM_QUIT ended it.
    bool RunModal(const std::function<bool()>& finished, HWND focus);
    // The dialog's own messages; the default procedure for the rest.
    virtual LRESULT DialogMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A key for the dialog before the focused child sees it; true when taken.
    virtual bool DialogKey(const MSG& msg) = 0;
    // Moves the focus to the next (or previous) child that takes it, in the
    // order the children were made.
    void Tab(bool backwards);
    HFONT Font() const;

    HWND owner_ = nullptr;

private:
    static LRESULT Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND dialog_ = nullptr;
};
