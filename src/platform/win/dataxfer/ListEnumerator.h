#pragma once
// The enumerators of data transfer (IEnumFORMATETC, IEnumSTATDATA) over a
// list taken when they are made: Next hands out HandOut of each item. Clones
// share the list and keep their own positions.
//
//   MakeListEnumerator<IEnumFORMATETC>(std::move(formats))
//   MakeListEnumerator<IEnumSTATDATA, TConnection, &StatDataOf>(connections)

#include <algorithm>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/rtl/Interfaces.h"
#include "platform/win/Types.h"

template <class T>
T CopyOf(const T& item) {
    return item;
}

template <class IEnum, class TItem, auto HandOut = &CopyOf<TItem>>
class TListEnumerator : public TImplements<TInterfacedObject, IEnum> {
public:
    using TElement = std::remove_cvref_t<decltype(HandOut(std::declval<const TItem&>()))>;

    TListEnumerator(std::shared_ptr<const std::vector<TItem>> items, size_t position)
        : items_(std::move(items)), position_(position) {}

    HRESULT Next(ULONG count, TElement* out, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if ((!fetched && count != 1) || (!out && count)) return E_INVALIDARG;
        const size_t n = std::min<size_t>(count, items_->size() - position_);
        for (size_t i = 0; i < n; ++i) out[i] = HandOut((*items_)[position_ + i]);
        position_ += n;
        if (fetched) *fetched = ULONG(n);
        return n == count ? S_OK : S_FALSE;
    }

    HRESULT Skip(ULONG count) override {
        const size_t n = std::min<size_t>(count, items_->size() - position_);
        position_ += n;
        return n == count ? S_OK : S_FALSE;
    }

    HRESULT Reset() override {
        position_ = 0;
        return S_OK;
    }

    HRESULT Clone(TIntfPtr<IEnum>& clone) override {
        clone = MakeIntf<TListEnumerator>(items_, position_);
        return S_OK;
    }

private:
    std::shared_ptr<const std::vector<TItem>> items_;
    size_t position_;
};

template <class IEnum, class TItem, auto HandOut = &CopyOf<TItem>>
TIntfPtr<IEnum> MakeListEnumerator(std::vector<TItem> items) {
    return MakeIntf<TListEnumerator<IEnum, TItem, HandOut>>(
        std::make_shared<const std::vector<TItem>>(std::move(items)), 0);
}
