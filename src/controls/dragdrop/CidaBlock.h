#pragma once
// The "Shell IDList Array" block: cidl, then cidl + 1 offsets from the start
// of the block, the first to the parent folder's item-ID list, the others to
// the items' lists relative to it. Lists are kept as their bytes, terminator
// included. The reader takes blocks from other programs and stays inside
// them: a block whose offsets or lists do not lie whole inside it gives nothing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using TItemIdBytes = std::string;

// The size of the item-ID list at Data, terminator included, when it ends
// inside Size bytes with items of at least 2 bytes; 0 otherwise.
size_t ItemIdListSizeWithin(const uint8_t* data, size_t size);

// The folder's list and then the items' lists; empty unless the block holds
// a folder and at least one item, all of them whole.
std::vector<TItemIdBytes> ReadCida(const uint8_t* data, size_t size);
// The block of Lists (the folder first); empty for no lists.
std::vector<uint8_t> WriteCida(const std::vector<TItemIdBytes>& lists);
