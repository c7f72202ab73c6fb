#include "platform/media/GraphUtil.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/rtl/Conversions.h"

HRESULT CheckDirectShowResult(HRESULT hr) {
    if (Succeeded(hr)) return hr;
    throw EDirectShowException(DirectShowErrorMessage(DirectShowErrorText(hr), hr), hr);
}

String DirectShowErrorMessage(const String& text, HRESULT hr) {
    // The text is not a format: a '%' in it stays as it is.
    return text + u" ($" + IntToHex(hr, 8) + u").";
}

namespace {
// ln(v + 1) x 1085.73 spans 0..10000 for v in 0..10000.
long LogarithmicHundredthsDb(long value) noexcept {
    return std::lround(std::log(double(value) + 1.0) * 1085.73);
}
} // namespace

long LinearVolumeToAttenuation(long volume) noexcept { return LogarithmicHundredthsDb(volume) - 10000; }

long LinearBalanceToAttenuation(long balance) noexcept {
    const long magnitude = LogarithmicHundredthsDb(std::labs(balance));
    return balance < 0 ? -magnitude : magnitude;
}

TFilterList::TFilterList(IGraphBuilder* graph) : graph_(graph) {
    TIntfPtr<IEnumFilters> filters;
    if (!graph || Failed(graph->EnumFilters(filters))) return;
    TIntfPtr<IBaseFilter> filter;
    ULONG fetched = 0;
    while (filters->Next(1, &filter, &fetched) == S_OK && fetched == 1) items_.push_back(std::move(filter));
}

void TFilterList::Remove(IBaseFilter* filter) {
    std::erase_if(items_, [filter](const TIntfPtr<IBaseFilter>& item) { return item.get() == filter; });
}

TPinList::TPinList(IBaseFilter* filter) : filter_(filter) {
    TIntfPtr<IEnumPins> pins;
    if (!filter || Failed(filter->EnumPins(pins))) return;
    TIntfPtr<IPin> pin;
    ULONG fetched = 0;
    while (pins->Next(1, &pin, &fetched) == S_OK && fetched == 1) items_.push_back(std::move(pin));
}

bool TPinList::Connected(int index) const {
    TIntfPtr<IPin> other;
    return Items(index)->ConnectedTo(other) == S_OK && other;
}
