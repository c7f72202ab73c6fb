#include "controls/dragdrop/UnicodeStringsAdapter.h"

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/StringList.h"

RTL_PUBLISHED_NONE(TUnicodeStringsAdapter);

void TUnicodeStringsAdapter::Insert(int index, const String& value) { strings_->Insert(index, value); }

void TUnicodeStringsAdapter::Clear() { strings_->Clear(); }

void TUnicodeStringsAdapter::Delete(int index) { strings_->Delete(index); }

int TUnicodeStringsAdapter::GetCapacity() const {
    const auto* list = dynamic_cast<const TStringList*>(strings_);
    return list ? list->Capacity() : strings_->Count();
}

int TUnicodeStringsAdapter::GetCount() const { return strings_->Count(); }

String TUnicodeStringsAdapter::Get(int index) const { return strings_->Strings(index); }

void TUnicodeStringsAdapter::Put(int index, const String& value) { strings_->SetStrings(index, value); }
