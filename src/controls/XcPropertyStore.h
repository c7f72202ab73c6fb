#pragma once
// The property-store side the application storage asks of an item: the names
// of the properties it must skip.

class TStrings;

// Clears Merged, then appends every entry of First and then of Second; returns Merged.
TStrings* MergedPropertyNameList(const TStrings& first, const TStrings& second, TStrings& merged);
