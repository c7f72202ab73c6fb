#pragma once
// The start-up registrations of the drag-and-drop units, in unit order:
// feedback values, text, item-ID lists, files. StartDragDropUnits
// (DataFormatMap.h) runs them.

void RegisterDragDropFormats();
