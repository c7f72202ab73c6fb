#pragma once
// A form's window placement as values of an application storage, below a
// storage path P:
//   ShowCmd        integer  show command (1 normal, 2 minimized, 3 maximized)
//   Flags          integer  placement flags (WPF_SETMINPOSITION ...)
//   PixelsPerInch  integer  the screen's resolution when saved
//   MinMaxPos      text     "%d,%d,%d,%d": minimized x, y, maximized x, y
//   NormPos        text     "%d,%d,%d,%d": normal left, top, right, bottom
// The two texts are written twice, first under the name with the primary
// screen's size appended ("NormPos(1920x1080)"), then under the plain name;
// reading prefers the suffixed one. A placement saved at another resolution
// is not applied.

#include "platform/rtl/Set.h"
#include "platform/rtl/TypeInfo.h"

class TCustomForm;
class TXcCustomAppStorage;

enum class TPlacementOption { fpState, fpSize, fpLocation, fpActiveControl };
using enum TPlacementOption;
RTL_ENUM(TPlacementOption, fpState, fpSize, fpLocation, fpActiveControl);
using TPlacementOptions = TSet<TPlacementOption>;

// "(<width>x<height>)" of the primary screen.
String ScreenSizeSuffix();
// Path with the suffix when the storage has that value, else Path; "" when neither.
String ReadResolutionValue(TXcCustomAppStorage& storage, const String& path);
void WriteResolutionValue(TXcCustomAppStorage& storage, const String& path, const String& value);

// Both do nothing when Options is exactly fpActiveControl (the caller's
// business). Storage errors pass.
void SaveFormPlacement(TCustomForm& form, TXcCustomAppStorage& storage, const String& path, TPlacementOptions options);
// Applies the stored rectangle (fpSize: its size, fpLocation: its place;
// one without width or height is not applied) and the stored show command (fpState); a minimized main form stays normal
// and the application minimizes through a posted system command.
void RestoreFormPlacement(TCustomForm& form, TXcCustomAppStorage& storage, const String& path,
                          TPlacementOptions options);
