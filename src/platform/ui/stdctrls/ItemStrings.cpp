#include "platform/ui/stdctrls/ItemStrings.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"
#include "platform/ui/WinControl.h"
#include "platform/win/User.h"

void ItemIndexError(int index) { throw EStringListError(Format(u"List index out of bounds (%d)", {index})); }

namespace {

// What both kinds of window answer for an index they have no item at.
constexpr LRESULT kNoItem = -1;

} // namespace

RTL_PUBLISHED_NONE(TWindowItemStrings);

TWindowItemStrings::TWindowItemStrings(TWinControl* control, const TItemMessages& messages)
    : control_(control), messages_(messages) {
    held_->SetDuplicates(dupAccept);
}

TWindowItemStrings::~TWindowItemStrings() = default;

HWND TWindowItemStrings::Window() const { return control_->HandleAllocated() ? control_->Handle() : nullptr; }

LRESULT TWindowItemStrings::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageW(control_->Handle(), message, wParam, lParam);
}

int TWindowItemStrings::Stored(LRESULT index, TObject* object) {
    if (index < 0) {
        StoreRefused();
        return -1;
    }
    Send(messages_.SetItemData, WPARAM(index), reinterpret_cast<LPARAM>(object));
    return int(index);
}

int TWindowItemStrings::AddObject(const String& s, TObject* object) {
    if (!Window()) return held_->AddObject(s, object);
    return Stored(Send(messages_.AddString, 0, reinterpret_cast<LPARAM>(s.c_str())), object);
}

void TWindowItemStrings::InsertObject(int index, const String& s, TObject* object) {
    if (!Window()) return held_->InsertObject(index, s, object);
    if (index < 0 || index > GetCount()) ItemIndexError(index);
    Stored(Send(messages_.InsertString, WPARAM(index), reinterpret_cast<LPARAM>(s.c_str())), object);
}

void TWindowItemStrings::Delete(int index) {
    if (!Window()) return held_->Delete(index);
    if (Send(messages_.DeleteString, WPARAM(index)) == kNoItem) ItemIndexError(index);
}

void TWindowItemStrings::Clear() {
    held_->Clear();
    if (Window()) Send(messages_.ResetContent);
}

int TWindowItemStrings::IndexOf(const String& s) const {
    if (!Window()) return held_->IndexOf(s);
    return int(Send(messages_.FindStringExact, WPARAM(-1), reinterpret_cast<LPARAM>(s.c_str())));
}

String TWindowItemStrings::Get(int index) const {
    if (!Window()) return held_->Strings(index);
    const LRESULT length = Send(messages_.GetTextLen, WPARAM(index));
    if (length == kNoItem) ItemIndexError(index);
    String text(size_t(length) + 1, u'\0');
    const LRESULT copied = Send(messages_.GetText, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(size_t(std::clamp<LRESULT>(copied, 0, length)));
    return text;
}

int TWindowItemStrings::GetCount() const {
    return Window() ? int(Send(messages_.GetCount)) : held_->Count();
}

TObject* TWindowItemStrings::GetObject(int index) const {
    if (!Window()) return held_->Objects(index);
    const LRESULT data = Send(messages_.GetItemData, WPARAM(index));
    if (data == kNoItem) ItemIndexError(index);
    return reinterpret_cast<TObject*>(data);
}

void TWindowItemStrings::PutObject(int index, TObject* object) {
    if (!Window()) return held_->SetObjects(index, object);
    if (Send(messages_.SetItemData, WPARAM(index), reinterpret_cast<LPARAM>(object)) == kNoItem) ItemIndexError(index);
}

// A sorted held list would sort the items again; they are taken as the window orders them.
void TWindowItemStrings::HoldWindowItems() {
    const bool sorted = held_->Sorted();
    held_->Clear();
    held_->SetSorted(false);
    const int count = GetCount();
    for (int i = 0; i < count; ++i) held_->AddObject(Get(i), GetObject(i));
    held_->SetSorted(sorted);
}
