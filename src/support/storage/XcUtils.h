#pragma once
// Small routines the storage units and the extended controls share.

#include "platform/rtl/Component.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Variant.h"

// True for the integer variant types up to 32 bits (small integer, integer,
// signed and unsigned byte, unsigned 16 and 32 bits); false for 64-bit ones.
bool VariantIsInteger(const Variant& value);

// Each character's low byte, XORed with the low byte of the key character at
// the same position modulo the key's length (unchanged for an empty key), as
// two lower-case hexadecimal digits.
String XorEncodeHex(const String& key, const String& value);
// The reverse: one character per pair of digits (an odd last digit is
// ignored); a pair that is not hexadecimal reads as 32.
String XorDecodeHex(const String& key, const String& hex);

// Moves Reference to Value, moving Owner's free notification with it. False
// (nothing done) when Value is already held or Owner is null.
template <class T>
bool AssignComponentReference(TComponent* owner, T* value, T*& reference) {
    if (value == reference || !owner) return false;
    if (reference) reference->RemoveFreeNotification(owner);
    reference = value;
    if (value) value->FreeNotification(owner);
    return true;
}
