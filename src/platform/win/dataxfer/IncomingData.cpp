#include "platform/win/dataxfer/IncomingData.h"

TIntfPtr<TStoredDataObject> MakeIncomingDataObject(const std::vector<String>& files, const std::optional<String>& text) {
    TIntfPtr<TStoredDataObject> data = MakeIntf<TStoredDataObject>();
    if (!files.empty()) data->SetFiles(files);
    if (text) data->SetText(*text);
    for (const char16_t* name : {u"Performed DropEffect", u"Logical Performed DropEffect", u"Paste Succeeded"})
        data->AcceptSetData(CLIPFORMAT(RegisterClipboardFormatW(name)));
    return data;
}
