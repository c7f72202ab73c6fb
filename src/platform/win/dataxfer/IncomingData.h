#pragma once
// What another program offers, dragged or on the clipboard, as a data object
// that owns its bytes.

#include <optional>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/win/dataxfer/StoredDataObject.h"

// Files (local paths) as CF_HDROP, a wide DROPFILES block, when there are any;
// text as CF_UNICODETEXT and CF_TEXT (UTF-8). SetData of "Performed
// DropEffect", "Logical Performed DropEffect" and "Paste Succeeded" is
// accepted and remembered.
TIntfPtr<TStoredDataObject> MakeIncomingDataObject(const std::vector<String>& files, const std::optional<String>& text);
