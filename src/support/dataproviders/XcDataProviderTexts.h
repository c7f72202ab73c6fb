#pragma once
// The messages and texts of the data-provider framework.

#include "platform/rtl/ResourceStrings.h"

inline constexpr TResStringRec RsXcExtensionExists{0xF300, u"Implementation of that class already exists"};
inline constexpr TResStringRec RsXcUnknown{0xF301, u"Unknown"};
inline constexpr TResStringRec RsXcNoItemText{0xF302, u"(item does not support the IXcDataItemText interface)"};
inline constexpr TResStringRec RsXcListIndexError{0xF303, u"List index out of bounds (%d)"};
inline constexpr TResStringRec RsXcItemNotDeletable{0xF304, u"Item cannot be deleted"};
inline constexpr TResStringRec RsXcContextExists{0xF305, u"A context with that name already exists"};
inline constexpr TResStringRec RsXcContextWithoutList{0xF306, u"Cannot create a context without a context list owner"};
inline constexpr TResStringRec RsXcContextWithoutProvider{0xF307,
                                                           u"You must specify a provider before setting the context"};
inline constexpr TResStringRec RsXcNoContextSupport{0xF308, u"Provider does not support contexts"};
inline constexpr TResStringRec RsXcNoContextNamed{0xF309, u"Provider has no context named \"%s\""};
inline constexpr TResStringRec RsXcContextOfOtherProvider{0xF30A,
                                                           u"The specified context is not part of the same provider"};
inline constexpr TResStringRec RsXcItemWithoutProvider{0xF30B, u"You must specify a provider before setting the item"};
inline constexpr TResStringRec RsXcItemNotFound{0xF30C, u"Item not found in the selected context"};
inline constexpr TResStringRec RsXcViewListOutOfSync{0xF30D, u"ViewList out of sync"};

// "List index out of bounds (%d)" with Index.
String XcListIndexText(int index);
