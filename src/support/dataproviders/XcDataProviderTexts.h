#pragma once
// The messages and texts of the data-provider framework.

#include "platform/rtl/ResourceStrings.h"

inline constexpr TResStringRec RsXcExtensionExists{0xF200, u"Implementation of that class already exists"};
inline constexpr TResStringRec RsXcUnknown{0xF201, u"Unknown"};
inline constexpr TResStringRec RsXcNoItemText{0xF202, u"(item does not support the IXcDataItemText interface)"};
inline constexpr TResStringRec RsXcListIndexError{0xF203, u"List index out of bounds (%d)"};
inline constexpr TResStringRec RsXcItemNotDeletable{0xF204, u"Item cannot be deleted"};
inline constexpr TResStringRec RsXcContextExists{0xF205, u"A context with that name already exists"};
inline constexpr TResStringRec RsXcContextWithoutList{0xF206, u"Cannot create a context without a context list owner"};
inline constexpr TResStringRec RsXcContextWithoutProvider{0xF207,
                                                           u"You must specify a provider before setting the context"};
inline constexpr TResStringRec RsXcNoContextSupport{0xF208, u"Provider does not support contexts"};
inline constexpr TResStringRec RsXcNoContextNamed{0xF209, u"Provider has no context named \"%s\""};
inline constexpr TResStringRec RsXcContextOfOtherProvider{0xF20A,
                                                           u"The specified context is not part of the same provider"};
inline constexpr TResStringRec RsXcItemWithoutProvider{0xF20B, u"You must specify a provider before setting the item"};
inline constexpr TResStringRec RsXcItemNotFound{0xF20C, u"Item not found in the selected context"};
inline constexpr TResStringRec RsXcViewListOutOfSync{0xF20D, u"ViewList out of sync"};

// "List index out of bounds (%d)" with Index.
String XcListIndexText(int index);
