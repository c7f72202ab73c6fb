#include "controls/XcItemRowSizing.h"

namespace {

constexpr TIdentMapEntry kItemRowSizingIdents[] = {
    {irsNoReSize, "irsNoReSize"},
    {irsNameHeight, "irsNameHeight"},
    {irsValueHeight, "irsValueHeight"},
    {irsItemHeight, "irsItemHeight"},
};

bool IdentToItemRowSizing(const String& ident, int32_t& value) { return IdentToInt(ident, value, kItemRowSizingIdents); }

bool ItemRowSizingToIdent(int32_t value, String& ident) { return IntToIdent(value, ident, kItemRowSizingIdents); }

} // namespace

const TTypeInfo* TItemRowSizingTypeInfo() {
    static const TTypeInfo* const type = NamedTypeInfo(TypeInfo<int32_t>(), "TItemRowSizing");
    return type;
}

void RegisterItemRowSizingIdents() {
    RegisterIntegerConsts(TItemRowSizingTypeInfo(), IdentToItemRowSizing, ItemRowSizingToIdent);
}
