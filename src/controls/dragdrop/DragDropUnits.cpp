#include "controls/dragdrop/DragDropUnits.h"

#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/FeedbackFormats.h"
#include "controls/dragdrop/FileFormats.h"
#include "controls/dragdrop/PidlFormats.h"
#include "controls/dragdrop/TextFormats.h"

void RegisterDragDropFormats() {
    RegisterDataFormat<TFeedbackDataFormat>();
    RegisterDataFormat<TTextDataFormat>();
    RegisterDataFormat<TPIDLDataFormat>();
    RegisterDataFormat<TFileDataFormat>();
    RegisterDataFormat<TFileMapDataFormat>();
    TAnsiFilenameClipboardFormat::DeclareConversions();
    TUnicodeFilenameClipboardFormat::DeclareConversions();
}
