#pragma once
// Event types of the component framework: public std::function members that
// may be empty.

#include <cstdint>
#include <exception>
#include <functional>

#include "platform/rtl/Geometry.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/TypeInfo.h"

class TObject;

enum class TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using enum TShiftStateFlag;
RTL_ENUM(TShiftStateFlag, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble);
using TShiftState = TSet<TShiftStateFlag>;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;
RTL_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle);

using TNotifyEvent = std::function<void(TObject* sender)>;
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TMouseWheelEvent =
    std::function<void(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* sender, TShiftState shift, TPoint mousePos, bool& handled)>;
using TContextPopupEvent = std::function<void(TObject* sender, TPoint mousePos, bool& handled)>;
using TKeyEvent = std::function<void(TObject* sender, uint16_t& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char16_t& key)>;
using TConstrainedResizeEvent =
    std::function<void(TObject* sender, int& minWidth, int& minHeight, int& maxWidth, int& maxHeight)>;
using TExceptionEvent = std::function<void(TObject* sender, const std::exception& error)>;
using TIdleEvent = std::function<void(TObject* sender, bool& done)>;
