#pragma once
// A framework string list seen as TUnicodeStrings, so the same readers and
// writers fill either. The list is not owned, and its change events are its
// own: the adapter's OnChange and OnChanging are not connected to them.

#include "controls/dragdrop/UnicodeStrings.h"

class TStrings;

class TUnicodeStringsAdapter : public TUnicodeStrings {
    RTL_CLASS(TUnicodeStringsAdapter, TUnicodeStrings);

public:
    explicit TUnicodeStringsAdapter(TStrings* strings) : strings_(strings) {}
    TStrings* Strings() const noexcept { return strings_; }

    void Insert(int index, const String& value) override;
    void Clear() override;
    void Delete(int index) override;

protected:
    int GetCapacity() const override;
    int GetCount() const override;
    String Get(int index) const override;
    void Put(int index, const String& value) override;

private:
    TStrings* strings_;
};
