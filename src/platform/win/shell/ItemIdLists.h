#pragma once
// Item-id lists of the file system.
//
// A list names a path from the file-system root: one item per path component,
// each a 16-bit byte count (counting itself) followed by the component's
// UTF-8 bytes, ended by a 16-bit zero. The empty list (the terminator alone)
// is the root "/". Lists handed out here are blocks of the shell allocator
// (TaskAllocator.h), freed with ILFree or CoTaskMemFree. Paths have no length
// limit; only SHGetPathFromIDListW's MAX_PATH buffer has one.

#include <span>
#include <string>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/rtl/TaskAllocator.h"
#include "platform/win/Types.h"

// The list's size in bytes, terminator included; 0 for null.
UINT ILGetSize(const ITEMIDLIST* list);
// The item after the first one (the terminator for a single item); null for
// null or an empty list.
ITEMIDLIST* ILGetNext(const ITEMIDLIST* list);
// Whether the list has no items (null counts as empty).
bool ILIsEmpty(const ITEMIDLIST* list);
// A copy in a new allocator block; null for null or when out of memory.
ITEMIDLIST* ILClone(const ITEMIDLIST* list);
// Parent followed by Child (relative to it); null when out of memory.
ITEMIDLIST* ILCombine(const ITEMIDLIST* parent, const ITEMIDLIST* child);
// Frees a list of the allocator; null is ignored.
void ILFree(ITEMIDLIST* list);

// The path of an absolute list into a buffer of MAX_PATH characters: FALSE
// (and an empty buffer) when the list is null, holds an invalid item or its
// path does not fit; the path is never cut.
BOOL SHGetPathFromIDListW(const ITEMIDLIST* list, LPWSTR path);
// The whole path of an absolute list, however long; false for null or an
// invalid item (a component that is empty, ".", ".." or holds '/' or NUL).
bool GetPathFromIDList(const ITEMIDLIST* list, String& path);

// The components of a list (the UTF-8 bytes of each item); false for an
// invalid item.
bool ItemIdListComponents(const ITEMIDLIST* list, std::vector<std::string>& components);
// A new list of the given components, each checked as above; null when one is
// invalid or too long for an item, or when out of memory.
ITEMIDLIST* ItemIdListFromComponents(std::span<const std::string> components);
// A new list of an absolute path ("." and ".." resolved by the text, repeated
// and trailing '/' ignored); null for a relative or empty path.
ITEMIDLIST* ItemIdListFromPath(const String& path);
