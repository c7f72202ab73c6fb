#pragma once
// Small services of the graph's callers: the result check that turns a failed
// call into an exception, error texts, time units, the volume and balance
// mappings, and lists of a graph's filters and a filter's pins.

#include <vector>

#include "platform/media/MediaInterfaces.h"
#include "platform/rtl/Exceptions.h"

class EDirectShowException : public Exception {
public:
    EDirectShowException(const String& message, HRESULT errorCode) : Exception(message), errorCode_(errorCode) {}
    HRESULT ErrorCode() const noexcept { return errorCode_; }

private:
    HRESULT errorCode_;
};

// Raised by the video window of the graph's host.
class EDSKitException : public Exception {
public:
    EDSKitException(const String& message, HRESULT errorCode) : Exception(message), errorCode_(errorCode) {}
    HRESULT ErrorCode() const noexcept { return errorCode_; }

private:
    HRESULT errorCode_;
};

// A success code is returned unchanged; a failure raises EDirectShowException
// "<error text> ($XXXXXXXX)." carrying the code.
HRESULT CheckDirectShowResult(HRESULT hr);
// Text followed by " ($XXXXXXXX)." with the code in hexadecimal.
String DirectShowErrorMessage(const String& text, HRESULT hr);
// A short English text for a result code, at most 255 characters.
String DirectShowErrorText(HRESULT hr);

constexpr int64_t RefTimeToMilliseconds(REFERENCE_TIME time) noexcept { return time / kUnitsPerMs; }

// A linear 0..10000 volume as an attenuation in hundredths of a dB: 0 gives
// -10000, 10000 gives 0.
long LinearVolumeToAttenuation(long volume) noexcept;
// A linear -10000..10000 balance on the same logarithmic scale, keeping its
// sign: a negative balance still favours the left channel.
long LinearBalanceToAttenuation(long balance) noexcept;

// The filters of a graph, in the graph's order.
class TFilterList {
public:
    explicit TFilterList(IGraphBuilder* graph);
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    IBaseFilter* Items(int index) const { return items_.at(index).get(); }
    void Remove(IBaseFilter* filter);

private:
    TIntfPtr<IGraphBuilder> graph_;
    std::vector<TIntfPtr<IBaseFilter>> items_;
};

// The pins of a filter, in the filter's order.
class TPinList {
public:
    explicit TPinList(IBaseFilter* filter);
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    IPin* Items(int index) const { return items_.at(index).get(); }
    // Whether the pin reports a connected pin.
    bool Connected(int index) const;

private:
    TIntfPtr<IBaseFilter> filter_;
    std::vector<TIntfPtr<IPin>> items_;
};
