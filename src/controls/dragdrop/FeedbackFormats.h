#pragma once
// The small values source and target exchange around a drop: the effect the
// source prefers, the one the target performed, a successful paste, whether
// the drag runs in the shell's own loop, and the class of the target.

#include "controls/dragdrop/BlockFormats.h"
#include "controls/dragdrop/DataFormat.h"

#define DRAGDROP_DWORD_FORMAT(Class, name, direction)                                         \
    class Class : public TCustomDWORDClipboardFormat {                                        \
        RTL_CLASS(Class, TCustomDWORDClipboardFormat);                                        \
                                                                                              \
    public:                                                                                   \
        Class() : TCustomDWORDClipboardFormat(ClassClipboardFormat()) {}                     \
        static CLIPFORMAT ClassClipboardFormat() { return DRAGDROP_REGISTERED_FORMAT(name); } \
        static TDataDirections DataDirection() { return {direction}; }                        \
    }

DRAGDROP_DWORD_FORMAT(TPreferredDropEffectClipboardFormat, u"Preferred DropEffect", ddRead);
DRAGDROP_DWORD_FORMAT(TPerformedDropEffectClipboardFormat, u"Performed DropEffect", ddWrite);
DRAGDROP_DWORD_FORMAT(TLogicalPerformedDropEffectClipboardFormat, u"Logical Performed DropEffect", ddWrite);
DRAGDROP_DWORD_FORMAT(TPasteSucceededClipboardFormat, u"Paste Succeeded", ddWrite);
DRAGDROP_DWORD_FORMAT(TInShellDragLoopClipboardFormat, u"InShellDragLoop", ddRead);
#undef DRAGDROP_DWORD_FORMAT

// The class of the drop target: exactly 16 bytes.
class TTargetCLSIDClipboardFormat : public TCustomSimpleClipboardFormat {
    RTL_CLASS(TTargetCLSIDClipboardFormat, TCustomSimpleClipboardFormat);

public:
    TTargetCLSIDClipboardFormat() : TCustomSimpleClipboardFormat(ClassClipboardFormat()) {}
    static CLIPFORMAT ClassClipboardFormat() { return DRAGDROP_REGISTERED_FORMAT(u"TargetCLSID"); }
    static TDataDirections DataDirection() { return {ddWrite}; }
    const TGUID& CLSID() const noexcept { return clsid_; }
    void SetCLSID(const TGUID& value) noexcept { clsid_ = value; }

    bool DecodeBlock(const uint8_t* data, size_t size) override;
    bool EncodeBlock(uint8_t* buffer, size_t size) override;
    size_t BlockSize() const override { return 16; }
    void Clear() override { clsid_ = TGUID{}; }
    bool HasData() const override { return !(clsid_ == TGUID{}); }

private:
    TGUID clsid_{};
};

// Gathers the feedback values of a data object.
class TFeedbackDataFormat : public TCustomDataFormat {
    RTL_CLASS(TFeedbackDataFormat, TCustomDataFormat);

public:
    using TCustomDataFormat::TCustomDataFormat;
    static void DeclareConversions();

    DWORD PreferredDropEffect() const noexcept { return preferred_; }
    DWORD PerformedDropEffect() const noexcept { return performed_; }
    DWORD LogicalPerformedDropEffect() const noexcept { return logicalPerformed_; }
    DWORD PasteSucceeded() const noexcept { return pasteSucceeded_; }
    bool InShellDragLoop() const noexcept { return inShellDragLoop_; }
    const TGUID& TargetCLSID() const noexcept { return targetClsid_; }
    void SetPreferredDropEffect(DWORD value);
    void SetPerformedDropEffect(DWORD value);
    void SetLogicalPerformedDropEffect(DWORD value);
    void SetPasteSucceeded(DWORD value);
    void SetInShellDragLoop(bool value);
    void SetTargetCLSID(const TGUID& value);

    bool Assign(TClipboardFormat& source) override;
    bool AssignTo(TClipboardFormat& dest) override;
    // Resets every value.
    void Clear() override;
    bool HasData() const override;
    // Until the preferred, performed and paste values and the loop flag have all come.
    bool NeedsData() const override;

private:
    DWORD preferred_ = 0, performed_ = 0, logicalPerformed_ = 0, pasteSucceeded_ = 0;
    bool inShellDragLoop_ = false;
    bool gotInShellDragLoop_ = false;
    TGUID targetClsid_{};
};

// The preferred effect a data object names; 0 when it names none.
DWORD ReadPreferredDropEffect(IDataObject& data);
// Hands Value to the object as Format's block; whether the object took it.
template <class Format>
bool WriteFeedbackValue(IDataObject& data, DWORD value) {
    Format format;
    format.SetValue(value);
    STGMEDIUM medium;
    return format.SetData(data, format.FormatEtc(), medium);
}
