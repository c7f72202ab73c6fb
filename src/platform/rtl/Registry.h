#pragma once
// The registry: Win32-shaped calls over one hive file per predefined root,
// <data folder>/Registry/<root's long name>.hive (see RegistryHive.h), which
// every running copy of the program shares.
//
// An opened key is a handle naming a key path, resolved again at each call; a
// key deleted meanwhile (by any process) answers ERROR_KEY_DELETED. A change
// locks "<hive>.lock" (flock), reads the hive again, applies itself and
// replaces the file atomically; a read parses the file again only when its
// identity (device, inode, size, modification time) changed. A hive that does
// not parse reads as empty; the first change keeps it as "<hive>.damaged".
// A change that cannot be written answers what went wrong: ERROR_DISK_FULL,
// ERROR_FILE_TOO_LARGE (a file size limit), ERROR_WRITE_PROTECT (a read-only
// file system), ERROR_ACCESS_DENIED (no permission), ERROR_LOCK_VIOLATION (the
// lock cannot be taken), ERROR_WRITE_FAULT for other input/output errors.
// Key names hold at most 255 units and no backslash, value names 16,383 units,
// keys nest at most 512 levels; empty path components are skipped. Deleting a
// key that has subkeys answers ERROR_ACCESS_DENIED; a name too long, a
// backslash in a key name or keys nested too deep, ERROR_INVALID_PARAMETER.
// The WOW64 view flags are accepted and do nothing. Every call is safe from
// any thread.

#include <cstdint>

#include "platform/rtl/ErrorCodes.h"

using HKEY = uint32_t;
using DWORD = uint32_t;
using REGSAM = uint32_t;

inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr HKEY HKEY_USERS = 0x80000003;
// Never opens (ERROR_INVALID_HANDLE), as HKEY_DYN_DATA.
inline constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;
inline constexpr HKEY HKEY_DYN_DATA = 0x80000006;

inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
inline constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

LONG RegOpenKeyExW(HKEY key, const char16_t* subKey, DWORD options, REGSAM desired, HKEY* result);
LONG RegCreateKeyExW(HKEY key, const char16_t* subKey, DWORD reserved, char16_t* keyClass, DWORD options,
                     REGSAM desired, void* security, HKEY* result, DWORD* disposition);
LONG RegCloseKey(HKEY key);
// Without Data only the type and size are reported; a smaller buffer answers
// ERROR_MORE_DATA with the size needed.
LONG RegQueryValueExW(HKEY key, const char16_t* valueName, DWORD* reserved, DWORD* type, uint8_t* data, DWORD* dataSize);
LONG RegSetValueExW(HKEY key, const char16_t* valueName, DWORD reserved, DWORD type, const uint8_t* data, DWORD dataSize);
LONG RegDeleteValueW(HKEY key, const char16_t* valueName);
LONG RegDeleteKeyW(HKEY key, const char16_t* subKey);
// NameLength: in, the buffer's size in units with room for the NUL; out, the
// name's length without it.
LONG RegEnumKeyExW(HKEY key, DWORD index, char16_t* name, DWORD* nameLength, DWORD* reserved, char16_t* keyClass,
                   DWORD* classLength, void* lastWriteTime);
LONG RegEnumValueW(HKEY key, DWORD index, char16_t* valueName, DWORD* valueNameLength, DWORD* reserved, DWORD* type,
                   uint8_t* data, DWORD* dataSize);
LONG RegQueryInfoKeyW(HKEY key, char16_t* keyClass, DWORD* classLength, DWORD* reserved, DWORD* subKeys,
                      DWORD* maxSubKeyLength, DWORD* maxClassLength, DWORD* values, DWORD* maxValueNameLength,
                      DWORD* maxValueLength, DWORD* securityDescriptor, void* lastWriteTime);

// The long name of a predefined root ("HKEY_CURRENT_USER"); empty for other handles.
const char16_t* RegRootName(HKEY key);
