#include "treeview/ViewStringTree.h"

RTL_PUBLISHED_NONE(TCustomViewStringTree);
RTL_PUBLISHED_NONE(TViewStringTree);

namespace {
// Bytes of internal data each node of a string tree reserves.
constexpr uint32_t kStringTreeInternalData = 4;
} // namespace

TCustomViewStringTree::TCustomViewStringTree(TComponent* owner)
    : TBaseViewTree(owner), internalDataOffset_(ReserveInternalData(kStringTreeInternalData)) {
    // The options object of a string tree is made again with the string options.
    ReplaceOptions(CreateOptions());
}

std::unique_ptr<TCustomViewTreeOptions> TCustomViewStringTree::CreateOptions() {
    return std::make_unique<TCustomStringTreeOptions>(this);
}

std::unique_ptr<TCustomViewTreeOptions> TViewStringTree::CreateOptions() {
    return std::make_unique<TStringTreeOptions>(this);
}
