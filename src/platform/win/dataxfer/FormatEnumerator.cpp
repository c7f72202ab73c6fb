#include <algorithm>
#include <memory>

#include "platform/win/dataxfer/StoredDataObject.h"

namespace {

// Clones share the list and keep their own positions.
class TFormatEnumerator : public TImplements<TInterfacedObject, IEnumFORMATETC> {
public:
    TFormatEnumerator(std::shared_ptr<const std::vector<FORMATETC>> formats, size_t position)
        : formats_(std::move(formats)), position_(position) {}

    HRESULT Next(ULONG count, FORMATETC* formats, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if ((!fetched && count != 1) || (!formats && count)) return E_INVALIDARG;
        const size_t n = std::min<size_t>(count, formats_->size() - position_);
        std::copy_n(formats_->begin() + std::ptrdiff_t(position_), n, formats);
        position_ += n;
        if (fetched) *fetched = ULONG(n);
        return n == count ? S_OK : S_FALSE;
    }

    HRESULT Skip(ULONG count) override {
        const size_t n = std::min<size_t>(count, formats_->size() - position_);
        position_ += n;
        return n == count ? S_OK : S_FALSE;
    }

    HRESULT Reset() override {
        position_ = 0;
        return S_OK;
    }

    HRESULT Clone(TIntfPtr<IEnumFORMATETC>& clone) override {
        clone = MakeIntf<TFormatEnumerator>(formats_, position_);
        return S_OK;
    }

private:
    std::shared_ptr<const std::vector<FORMATETC>> formats_;
    size_t position_;
};

} // namespace

TIntfPtr<IEnumFORMATETC> CreateFormatEnumerator(std::vector<FORMATETC> formats) {
    return MakeIntf<TFormatEnumerator>(std::make_shared<const std::vector<FORMATETC>>(std::move(formats)), 0);
}
