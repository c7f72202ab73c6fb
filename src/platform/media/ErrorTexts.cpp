// The short English texts of the graph's result codes.
#include <algorithm>
#include <iterator>

#include "platform/media/GraphUtil.h"

namespace {
struct TGraphErrorText {
    HRESULT code;
    const char16_t* text;
};

constexpr TGraphErrorText kGraphErrorTexts[] = {
    {S_OK, u"No error."},
    {S_FALSE, u"The operation succeeded with a reservation."},
    {VFW_S_NO_MORE_ITEMS, u"The end of the list has been reached."},
    {VFW_S_STATE_INTERMEDIATE, u"The graph is still changing state."},
    {VFW_E_ENUM_OUT_OF_SYNC, u"The list changed while it was being read."},
    {VFW_E_ALREADY_CONNECTED, u"The pin is already connected."},
    {VFW_E_NO_ACCEPTABLE_TYPES, u"No media type both pins accept could be found."},
    {VFW_E_INVALID_DIRECTION, u"Two pins of the same direction cannot be connected."},
    {VFW_E_NOT_CONNECTED, u"The pin is not connected."},
    {VFW_E_NO_ALLOCATOR, u"No sample allocator is set."},
    {VFW_E_NO_CLOCK, u"The filter has no reference clock."},
    {VFW_E_NOT_FOUND, u"The object was not found."},
    {VFW_E_NOT_STOPPED, u"The filter must be stopped first."},
    {VFW_E_TYPE_NOT_ACCEPTED, u"The media type is not accepted."},
    {VFW_E_CANNOT_RENDER, u"No combination of filters can render the pin."},
    {VFW_E_NOT_COMMITTED, u"The allocator has no buffers committed."},
    {VFW_E_WRONG_STATE, u"The operation is not possible in the current state."},
    {VFW_E_SAMPLE_TIME_NOT_SET, u"The sample has no time stamps."},
    {E_NOTIMPL, u"Not implemented."},
    {E_NOINTERFACE, u"The interface is not supported."},
    {E_POINTER, u"Invalid pointer."},
    {E_ABORT, u"The operation was aborted."},
    {E_FAIL, u"Unspecified error."},
    {E_UNEXPECTED, u"Unexpected failure."},
    {E_OUTOFMEMORY, u"Out of memory."},
    {E_INVALIDARG, u"An argument is not valid."},
};
} // namespace

String DirectShowErrorText(HRESULT hr) {
    const auto* found = std::find_if(std::begin(kGraphErrorTexts), std::end(kGraphErrorTexts),
                                     [hr](const TGraphErrorText& entry) { return entry.code == hr; });
    return found != std::end(kGraphErrorTexts) ? String(found->text) : String(u"Unknown error.");
}
