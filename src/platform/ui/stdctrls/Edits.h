#pragma once
// TCustomEdit, TEdit: the framework's wrapper of the "EDIT" window class.
// The window keeps the text, the selection, the undo step and the modified
// flag while it exists; the control keeps them (and the limit, the password
// character and the read-only state) across a new window, which a change of
// Alignment, CharCase, HideSelection or BorderStyle makes. OnChange follows
// every change of the text: EN_CHANGE from the window, or a text set while
// there is none.
//
// TCustomMemo, TMemo: a multi-line edit whose Lines are the window's text
// split at CR LF.

#include <functional>
#include <memory>

#include "platform/rtl/Alignment.h"
#include "platform/rtl/StringList.h"
#include "platform/ui/WinControl.h"
#include "platform/ui/stdctrls/BorderStyle.h"
#include "platform/ui/stdctrls/StdCtrlTypes.h"


enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
using enum TScrollStyle;
RTL_ENUM(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth);

class TCustomEdit : public TWinControl {
    RTL_CLASS(TCustomEdit, TWinControl);
    UI_MESSAGES(TCustomEdit, TWinControl);

public:
    explicit TCustomEdit(TComponent* owner);

    // 0: no limit.
    int MaxLength() const noexcept { return maxLength_; }
    void SetMaxLength(int value);
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool value);
    // Shown instead of every character; 0 shows the text.
    char16_t PasswordChar() const noexcept { return passwordChar_; }
    void SetPasswordChar(char16_t value);
    // Entering the edit selects all of its text (not for a click, nor in a memo).
    bool AutoSelect() const noexcept { return autoSelect_; }
    void SetAutoSelect(bool value) { autoSelect_ = value; }
    // The height follows the font.
    void SetAutoSize(bool value) override;
    TEditCharCase CharCase() const noexcept { return charCase_; }
    void SetCharCase(TEditCharCase value);
    // The selection is shown only while the edit has the focus.
    bool HideSelection() const noexcept { return hideSelection_; }
    void SetHideSelection(bool value);
    TBorderStyle BorderStyle() const noexcept { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment value);
    bool Modified();
    void SetModified(bool value);

    // The selection, in UTF-16 units.
    int SelStart();
    void SetSelStart(int value);
    int SelLength();
    void SetSelLength(int value);
    String SelText();
    // Replaces the selection (one undo step).
    void SetSelText(const String& value);
    void SelectAll();
    void ClearSelection();
    void Clear();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    bool CanUndo();
    void ClearUndo();

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    // The height the font asks for, when AutoSize is on.
    void AdjustHeight();
    bool Multiline() const;

private:
    // What the window holds that the control keeps across a new window.
    struct TWindowState {
        bool modified = false;
        int selStart = 0, selEnd = 0;
    };
    void ReadWindowState();
    void CNCommand(TMessage& m);
    void CNCtlColor(TMessage& m);
    void CMEnter(TMessage& m);
    void CMRecreateWnd(TMessage& m);
    void CMTextChanged(TMessage& m);
    void CMFontChanged(TMessage& m);
    void CMCtl3DChanged(TMessage& m);
    void WMContextMenu(TMessage& m);

    int maxLength_ = 0;
    bool readOnly_ = false;
    char16_t passwordChar_ = 0;
    bool autoSelect_ = true;
    TEditCharCase charCase_ = ecNormal;
    bool hideSelection_ = true;
    TBorderStyle borderStyle_ = kSingleBorder;
    TAlignment alignment_ = taLeftJustify;
    TWindowState kept_;
    // The window is being made: the text it is given is no change.
    bool creating_ = false;
    bool recreating_ = false;
};

class TEdit : public TCustomEdit {
    RTL_CLASS(TEdit, TCustomEdit);

public:
    using TCustomEdit::TCustomEdit;
};

class TCustomMemo : public TCustomEdit {
    RTL_CLASS(TCustomMemo, TCustomEdit);
    UI_MESSAGES(TCustomMemo, TCustomEdit);

public:
    explicit TCustomMemo(TComponent* owner);
    ~TCustomMemo() override;

    // The text as lines; assigning copies the strings.
    TStrings* Lines() const noexcept { return lines_.get(); }
    void SetLines(TStrings* value) { lines_->Assign(*value); }
    // Long lines break at the right edge (and the text does not scroll sideways).
    bool WordWrap() const noexcept { return wordWrap_; }
    void SetWordWrap(bool value);
    TScrollStyle ScrollBars() const noexcept { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    // Enter types a line break; without it Enter is the dialog's.
    bool WantReturns() const noexcept { return wantReturns_; }
    void SetWantReturns(bool value) { wantReturns_ = value; }
    // Tab types a tab; without it Tab moves the focus.
    bool WantTabs() const noexcept { return wantTabs_; }
    void SetWantTabs(bool value) { wantTabs_ = value; }

protected:
    void CreateParams(TCreateParams& params) override;
    void KeyPress(char16_t& key) override;

private:
    void WMGetDlgCode(TMessage& m);

    std::unique_ptr<TStrings> lines_;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = ssNone;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {
    RTL_CLASS(TMemo, TCustomMemo);

public:
    using TCustomMemo::TCustomMemo;
};
