#pragma once
// TSpinEdit: an edit for a whole number with an up-down ("msctls_updown32")
// at its right edge, inside the edit's window. The arrows, a held arrow and
// the Up and Down keys step Value by Increment within MinValue..MaxValue
// (both 0: no bounds). The text is what the user typed; a text that is no
// number reads as MinValue, and leaving the edit puts the value, within the
// bounds, back as the text.

#include "platform/ui/stdctrls/Edits.h"

class TSpinEdit : public TCustomEdit {
    RTL_CLASS(TSpinEdit, TCustomEdit);
    UI_MESSAGES(TSpinEdit, TCustomEdit);

public:
    explicit TSpinEdit(TComponent* owner);

    int MinValue() const noexcept { return minValue_; }
    void SetMinValue(int value) { minValue_ = value; }
    int MaxValue() const noexcept { return maxValue_; }
    void SetMaxValue(int value) { maxValue_ = value; }
    int Increment() const noexcept { return increment_; }
    void SetIncrement(int value) { increment_ = value; }
    // The number the text shows (MinValue when it shows none).
    int Value();
    // Sets the text to Value within the bounds.
    void SetValue(int value);
    // Typing, pasting, cutting and deleting go to the text; without the editor
    // only the arrows and their keys change it.
    bool EditorEnabled() const noexcept { return editorEnabled_; }
    void SetEditorEnabled(bool value) { editorEnabled_ = value; }

    // The up-down window inside the edit (null without a window).
    HWND UpDownHandle() const noexcept { return upDown_; }

    void UpClick();
    void DownClick();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char16_t& key) override;

private:
    int CheckValue(int value) const;
    bool IsValidChar(char16_t key) const;
    void PlaceUpDown();
    void WMNotify(TMessage& m);
    void WMSize(TMessage& m);
    // WM_PASTE, WM_CUT, WM_CLEAR: only with the editor.
    void WMEditCommand(TMessage& m);
    void CMExit(TMessage& m);
    void CMEnabledChanged(TMessage& m);

    int minValue_ = 0;
    int maxValue_ = 0;
    int increment_ = 1;
    bool editorEnabled_ = true;
    HWND upDown_ = nullptr;
};
