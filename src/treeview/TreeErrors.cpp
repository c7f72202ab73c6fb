#include "treeview/TreeErrors.h"

String TreeErrorText(TTreeError error) {
    switch (error) {
    case TTreeError::EditLinkIsNil: return u"Edit link must not be nil.";
    case TTreeError::MoveIntoOwnChild: return u"Target node cannot be a child node of the node to be moved.";
    case TTreeError::WrongStreamFormat: return u"Unable to load tree structure, the format is wrong.";
    case TTreeError::UnknownStreamVersion: return u"Unable to load tree structure, the version is unknown.";
    case TTreeError::StreamTooShort: return u"Unable to load tree structure, not enough data available.";
    case TTreeError::AnchorChunkMissing: return u"Stream data corrupt. A node's anchor chunk is missing.";
    case TTreeError::DataAfterNodeEnd: return u"Stream data corrupt. Unexpected data after node's end position.";
    case TTreeError::ClipboardFailed: return u"Clipboard operation failed.";
    case TTreeError::UserDataTooSmall:
        return u"Cannot set initial user data because there is not enough user data space allocated.";
    }
    return {};
}

void RaiseTreeError(const String& message, int helpContext) { throw EViewTreeError(message, helpContext); }

void RaiseTreeError(TTreeError error) { RaiseTreeError(TreeErrorText(error), static_cast<int>(error)); }
