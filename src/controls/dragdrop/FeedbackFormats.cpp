#include "controls/dragdrop/FeedbackFormats.h"

#include <cstring>

#include "controls/dragdrop/DataFormatMap.h"
#include "platform/rtl/ClassInfo.h"

RTL_PUBLISHED_NONE(TPreferredDropEffectClipboardFormat);
RTL_PUBLISHED_NONE(TPerformedDropEffectClipboardFormat);
RTL_PUBLISHED_NONE(TLogicalPerformedDropEffectClipboardFormat);
RTL_PUBLISHED_NONE(TPasteSucceededClipboardFormat);
RTL_PUBLISHED_NONE(TInShellDragLoopClipboardFormat);
RTL_PUBLISHED_NONE(TTargetCLSIDClipboardFormat);
RTL_PUBLISHED_NONE(TFeedbackDataFormat);

bool TTargetCLSIDClipboardFormat::DecodeBlock(const uint8_t* data, size_t size) {
    if (size != sizeof clsid_) return false;
    std::memcpy(&clsid_, data, sizeof clsid_);
    return true;
}

bool TTargetCLSIDClipboardFormat::EncodeBlock(uint8_t* buffer, size_t size) {
    if (size != sizeof clsid_) return false;
    std::memcpy(buffer, &clsid_, sizeof clsid_);
    return true;
}

void TFeedbackDataFormat::DeclareConversions() {
    AddConversion<TFeedbackDataFormat, TPreferredDropEffectClipboardFormat>(0);
    AddConversion<TFeedbackDataFormat, TPerformedDropEffectClipboardFormat>(0);
    AddConversion<TFeedbackDataFormat, TPasteSucceededClipboardFormat>(0);
    AddConversion<TFeedbackDataFormat, TInShellDragLoopClipboardFormat>(0);
    AddConversion<TFeedbackDataFormat, TTargetCLSIDClipboardFormat>(0);
    AddConversion<TFeedbackDataFormat, TLogicalPerformedDropEffectClipboardFormat>(0);
}

void TFeedbackDataFormat::SetPreferredDropEffect(DWORD value) {
    NotifyChanging();
    preferred_ = value;
}
void TFeedbackDataFormat::SetPerformedDropEffect(DWORD value) {
    NotifyChanging();
    performed_ = value;
}
void TFeedbackDataFormat::SetLogicalPerformedDropEffect(DWORD value) {
    NotifyChanging();
    logicalPerformed_ = value;
}
void TFeedbackDataFormat::SetPasteSucceeded(DWORD value) {
    NotifyChanging();
    pasteSucceeded_ = value;
}
void TFeedbackDataFormat::SetInShellDragLoop(bool value) {
    NotifyChanging();
    inShellDragLoop_ = value;
}
void TFeedbackDataFormat::SetTargetCLSID(const TGUID& value) {
    NotifyChanging();
    targetClsid_ = value;
}

bool TFeedbackDataFormat::Assign(TClipboardFormat& source) {
    if (auto* f = dynamic_cast<TPreferredDropEffectClipboardFormat*>(&source)) {
        SetPreferredDropEffect(f->Value());
    } else if (auto* f = dynamic_cast<TPerformedDropEffectClipboardFormat*>(&source)) {
        SetPerformedDropEffect(f->Value());
    } else if (auto* f = dynamic_cast<TLogicalPerformedDropEffectClipboardFormat*>(&source)) {
        SetLogicalPerformedDropEffect(f->Value());
    } else if (auto* f = dynamic_cast<TPasteSucceededClipboardFormat*>(&source)) {
        SetPasteSucceeded(f->Value());
    } else if (auto* f = dynamic_cast<TInShellDragLoopClipboardFormat*>(&source)) {
        SetInShellDragLoop(f->Value() != 0);
        gotInShellDragLoop_ = true;
    } else if (auto* f = dynamic_cast<TTargetCLSIDClipboardFormat*>(&source)) {
        SetTargetCLSID(f->CLSID());
    } else {
        return TCustomDataFormat::Assign(source);
    }
    return true;
}

bool TFeedbackDataFormat::AssignTo(TClipboardFormat& dest) {
    if (auto* f = dynamic_cast<TPreferredDropEffectClipboardFormat*>(&dest)) {
        f->SetValue(preferred_);
    } else if (auto* f = dynamic_cast<TPerformedDropEffectClipboardFormat*>(&dest)) {
        f->SetValue(performed_);
    } else if (auto* f = dynamic_cast<TLogicalPerformedDropEffectClipboardFormat*>(&dest)) {
        f->SetValue(logicalPerformed_);
    } else if (auto* f = dynamic_cast<TPasteSucceededClipboardFormat*>(&dest)) {
        f->SetValue(pasteSucceeded_);
    } else if (auto* f = dynamic_cast<TInShellDragLoopClipboardFormat*>(&dest)) {
        f->SetValue(inShellDragLoop_ ? 1 : 0);
    } else if (auto* f = dynamic_cast<TTargetCLSIDClipboardFormat*>(&dest)) {
        f->SetCLSID(targetClsid_);
    } else {
        return TCustomDataFormat::AssignTo(dest);
    }
    return true;
}

void TFeedbackDataFormat::Clear() {
    NotifyChanging();
    preferred_ = performed_ = logicalPerformed_ = pasteSucceeded_ = 0;
    inShellDragLoop_ = gotInShellDragLoop_ = false;
    targetClsid_ = TGUID{};
}

bool TFeedbackDataFormat::HasData() const {
    return preferred_ != 0 || performed_ != 0 || pasteSucceeded_ != 0 || gotInShellDragLoop_;
}

bool TFeedbackDataFormat::NeedsData() const {
    return preferred_ == 0 || performed_ == 0 || pasteSucceeded_ == 0 || !gotInShellDragLoop_;
}

DWORD ReadPreferredDropEffect(IDataObject& data) {
    TPreferredDropEffectClipboardFormat format;
    return format.GetData(data) ? format.Value() : 0;
}
