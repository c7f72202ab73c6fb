#pragma once
// Typed reads and writes of registry values addressed by a root key, a key path
// and a value name; every call opens and closes its own key handle. The Ex forms
// return false instead of raising when RaiseException is false; the Def forms
// never raise and return the default on any failure.

#include <cstdint>

#include "platform/rtl/Registry.h"
#include "support/utils/ScBase.h"

RTL_DECLARE_EXCEPTION(EScRegistryError, EScError);

struct TRootKey {
    HKEY Key;
    const char* AnsiName;
    String WideName;
};
// The long names of the seven predefined roots, then their short names.
extern const TRootKey RootKeys[14];

// The long name of a predefined root, otherwise the handle as "0x%.8x".
String RootKeyDisplayName(HKEY rootKey);
// Skips one leading backslash and a leading root name followed by a backslash,
// which must name RootKey (otherwise raises "\"%s\" does not match RootKey").
String StripRootKeyPrefix(HKEY rootKey, const String& key);
REGSAM RegistryViewFlags(REGSAM access);

bool RegKeyPresent(HKEY rootKey, const String& key);
bool GetRegValueType(HKEY rootKey, const String& key, const String& name, DWORD& dataType);
LONG CreateRegKey(HKEY rootKey, const String& key);
bool DeleteRegValue(HKEY rootKey, const String& key, const String& name);
// Deletes the key with all its subkeys; false when one of them stays.
bool DeleteRegKeyTree(HKEY rootKey, const String& key);

// REG_SZ and REG_EXPAND_SZ as decimal text; REG_BINARY, REG_DWORD and REG_QWORD
// of at most 8 bytes as a little-endian number; the low 32 bits.
bool ReadRegIntegerEx(HKEY rootKey, const String& key, const String& name, int32_t& value, bool raiseException);
int32_t ReadRegIntegerDef(HKEY rootKey, const String& key, const String& name, int32_t def);
bool ReadRegBoolDef(HKEY rootKey, const String& key, const String& name, bool def);
// REG_SZ, REG_EXPAND_SZ (not expanded) or REG_BINARY as UTF-16 text without
// its terminating NUL.
bool ReadRegStringEx(HKEY rootKey, const String& key, const String& name, String& value, bool raiseException);
String ReadRegString(HKEY rootKey, const String& key, const String& name);
String ReadRegStringDef(HKEY rootKey, const String& key, const String& name, const String& def);
inline bool ReadRegWideStringEx(HKEY r, const String& k, const String& n, String& v, bool raise) {
    return ReadRegStringEx(r, k, n, v, raise);
}
inline String ReadRegWideStringDef(HKEY r, const String& k, const String& n, const String& def) {
    return ReadRegStringDef(r, k, n, def);
}
// Any type from 1 to 11 of at most BufferSize bytes; DataSize is the value's size.
bool ReadRegBinaryEx(HKEY rootKey, const String& key, const String& name, void* buffer, DWORD bufferSize,
                     DWORD& dataSize, bool raiseException);
DWORD ReadRegBinary(HKEY rootKey, const String& key, const String& name, void* buffer, DWORD bufferSize);

// Writes create the key when it is missing and raise on failure.
void WriteRegInteger(HKEY rootKey, const String& key, const String& name, int32_t value);
void WriteRegCardinal(HKEY rootKey, const String& key, const String& name, uint32_t value);
// REG_SZ/REG_EXPAND_SZ as decimal text, REG_BINARY/REG_DWORD as 4 bytes, REG_QWORD as 8.
void WriteRegIntegerAs(HKEY rootKey, const String& key, const String& name, int32_t value, DWORD dataType);
void WriteRegCardinalAs(HKEY rootKey, const String& key, const String& name, uint32_t value, DWORD dataType);
void WriteRegString(HKEY rootKey, const String& key, const String& name, const String& value);
inline void WriteRegWideString(HKEY r, const String& k, const String& n, const String& v) { WriteRegString(r, k, n, v); }
// REG_SZ, REG_EXPAND_SZ or REG_BINARY: the UTF-16 units and one NUL.
void WriteRegStringAs(HKEY rootKey, const String& key, const String& name, const String& value, DWORD dataType);
inline void WriteRegWideStringAs(HKEY r, const String& k, const String& n, const String& v, DWORD t) {
    WriteRegStringAs(r, k, n, v, t);
}
void WriteRegBinary(HKEY rootKey, const String& key, const String& name, const void* buffer, DWORD bufferSize);
