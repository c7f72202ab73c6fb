#include "controls/dragdrop/DragDropUnits.h"

#include "controls/dragdrop/DataFormatMap.h"
#include "controls/dragdrop/DataStreamFormat.h"
#include "controls/dragdrop/FeedbackFormats.h"
#include "controls/dragdrop/FileFormats.h"
#include "controls/dragdrop/PidlFormats.h"
#include "controls/dragdrop/TextFormats.h"
#include "controls/dragdrop/VirtualFileFormats.h"

void RegisterDragDropFormats() {
    RegisterDataFormat<TDataStreamDataFormat>();
    RegisterDataFormat<TFeedbackDataFormat>();
    RegisterDataFormat<TTextDataFormat>();
    RegisterDataFormat<TPIDLDataFormat>();
    RegisterDataFormat<TFileDataFormat>();
    RegisterDataFormat<TFileMapDataFormat>();
    TAnsiFilenameClipboardFormat::DeclareConversions();
    TUnicodeFilenameClipboardFormat::DeclareConversions();
    RegisterDataFormat<TVirtualFileStreamDataFormat>();
    TFileContentsStreamClipboardFormat::DeclareConversions();
}
