#pragma once
// The string trees: TCustomViewStringTree adds texts asked from the owner
// (their behaviour comes with the string tree's own work) and string options;
// TViewStringTree is the published form the application uses.

#include "treeview/BaseViewTree.h"

class TCustomViewStringTree : public TBaseViewTree {
    RTL_CLASS(TCustomViewStringTree, TBaseViewTree);

public:
    explicit TCustomViewStringTree(TComponent* owner);
    TCustomStringTreeOptions* TreeOptions() const noexcept {
        return static_cast<TCustomStringTreeOptions*>(TBaseViewTree::TreeOptions());
    }
    // The offset of the string tree's own per-node data (4 bytes) in every node's internal area.
    uint32_t InternalDataOffset() const noexcept { return internalDataOffset_; }

protected:
    std::unique_ptr<TCustomViewTreeOptions> CreateOptions() override;

private:
    uint32_t internalDataOffset_;
};

class TViewStringTree : public TCustomViewStringTree {
    RTL_CLASS(TViewStringTree, TCustomViewStringTree);

public:
    explicit TViewStringTree(TComponent* owner) : TCustomViewStringTree(owner) { ReplaceOptions(CreateOptions()); }
    TStringTreeOptions* TreeOptions() const noexcept {
        return static_cast<TStringTreeOptions*>(TBaseViewTree::TreeOptions());
    }

protected:
    std::unique_ptr<TCustomViewTreeOptions> CreateOptions() override;
};
