#pragma once
// The small types shared by the drag-and-drop formats and the drop target.

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Interfaces.h"
#include "platform/rtl/Set.h"

// Whether a clipboard format can be read from a data object and/or written into one.
enum class TDataDirection { ddRead, ddWrite };
using enum TDataDirection;
using TDataDirections = TSet<TDataDirection>;

// Whether a map entry moves data from the clipboard format into the data
// format (reading a drop) and/or the other way (offering data).
enum class TConversionCapability { ccWriteToDataFormat, ccReadFromDataFormat };
using enum TConversionCapability;
using TConversionCapabilities = TSet<TConversionCapability>;

// The side asking for compatible formats.
enum class TDragDropTier { ddtSource, ddtTarget };
using enum TDragDropTier;

enum class TDataFormatDirection { dfdConsumer, dfdProvider };
using enum TDataFormatDirection;

// A failed platform call, with its result code.
class EOleSysError : public Exception {
public:
    EOleSysError(const String& message, HRESULT errorCode) : Exception(message), errorCode_(errorCode) {}
    HRESULT ErrorCode() const noexcept { return errorCode_; }

private:
    HRESULT errorCode_;
};

// Raises EOleSysError for a failed result.
void OleCheck(HRESULT result);
