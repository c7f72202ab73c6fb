#pragma once
// TCustomMaskEdit, TMaskEdit: an edit that remembers the text it held when
// editing began: Reset (or Escape, once the text was changed) brings it
// back, and leaving the edit validates what was typed. An empty EditMask
// masks nothing; EditText is then the text.

#include "platform/ui/stdctrls/Edits.h"

class TCustomMaskEdit : public TCustomEdit {
    RTL_CLASS(TCustomMaskEdit, TCustomEdit);
    UI_MESSAGES(TCustomMaskEdit, TCustomEdit);

public:
    explicit TCustomMaskEdit(TComponent* owner);

    const String& EditMask() const noexcept { return editMask_; }
    void SetEditMask(const String& value) { editMask_ = value; }
    bool IsMasked() const noexcept { return !editMask_.empty(); }
    // The text with the mask's literals and blanks (without a mask: the text).
    String EditText() { return Text(); }
    void SetEditText(const String& value) { SetText(value); }
    // Back to the text held when editing began, when it was changed since.
    virtual void Reset();
    // Checks the text against the mask; nothing to check without one.
    virtual void ValidateEdit() {}

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;

private:
    void CMEnter(TMessage& m);
    void CMExit(TMessage& m);
    void CMWantSpecialKey(TMessage& m);

    String editMask_;
    String oldValue_;
};

class TMaskEdit : public TCustomMaskEdit {
    RTL_CLASS(TMaskEdit, TCustomMaskEdit);

public:
    using TCustomMaskEdit::TCustomMaskEdit;
};
