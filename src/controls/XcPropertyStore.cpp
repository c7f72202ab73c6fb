#include "controls/XcPropertyStore.h"

#include "platform/rtl/StringList.h"

TStrings* MergedPropertyNameList(const TStrings& first, const TStrings& second, TStrings& merged) {
    merged.Updating([&] {
        merged.Clear();
        merged.AddStrings(first);
        merged.AddStrings(second);
    });
    return &merged;
}
