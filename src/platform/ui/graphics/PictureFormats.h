#pragma once
// The picture-format registry: which graphic class loads the files of an
// extension, and the file-dialog filters built from it. Bitmaps and icons
// register at the framework's start-up; other units add their decoders from
// their own start-up and remove them at shut-down.

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/String.h"

// A class descending from TGraphic with a public default constructor.
using TGraphicClass = TClass;

// Extension without the dot, compared ignoring case; a later registration of
// an extension wins over an earlier one. Raises EInvalidOperation for a class
// that is no graphic.
void RegisterFileFormat(const String& extension, const String& description, TGraphicClass graphicClass);
// Removes every format whose class is GraphicClass or descends from it.
void UnregisterGraphicClass(TGraphicClass graphicClass);
// The class registered for Extension (with or without the dot); null when none.
TGraphicClass GraphicClassOfExtension(const String& extension);

// The formats of GraphicClass and its descendants as a file-dialog filter:
// "All (*.bmp;*.ico)|*.bmp;*.ico|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico".
String GraphicFilter(TGraphicClass graphicClass);
// The extension of the first format of that class and its descendants ("bmp").
String GraphicExtension(TGraphicClass graphicClass);
// "*.bmp;*.ico": the masks of all of them.
String GraphicFileMask(TGraphicClass graphicClass);
