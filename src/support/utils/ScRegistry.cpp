#include "support/utils/ScRegistry.h"

#include <cstring>
#include <utility>

#include "platform/rtl/Conversions.h"
#include "support/utils/SupportUnit.h"

namespace {

inline constexpr TResStringRec RsUnableToOpenKeyRead{0xF040, u"Unable to open key \"%s\\%s\" for read"};
inline constexpr TResStringRec RsUnableToOpenKeyWrite{0xF041, u"Unable to open key \"%s\\%s\" for write"};
inline constexpr TResStringRec RsUnableToAccessValue{0xF042, u"Unable to open key \"%s\\%s\" and access value \"%s\""};
inline constexpr TResStringRec RsWrongDataType{0xF043, u"\"%s\\%s\\%s\" is of wrong kind or size"};
inline constexpr TResStringRec RsInconsistentPath{0xF044, u"\"%s\" does not match RootKey"};

const TResStringRec* const ScRegistryStrings[] = {&RsUnableToOpenKeyRead, &RsUnableToOpenKeyWrite, &RsUnableToAccessValue,
                                           &RsWrongDataType, &RsInconsistentPath};

constexpr uint16_t KindsOfInteger = 1 << REG_BINARY | 1 << REG_DWORD | 1 << REG_QWORD;
constexpr uint16_t KindsOfBinary = 0x0FFE;

[[noreturn]] void Raise(const TResStringRec& rec, HKEY rootKey, const String& key, const String& name = {}) {
    const String root = RootKeyDisplayName(rootKey);
    throw EScRegistryError(Format(LoadResString(rec), {root, key, name}));
}

// A key handle closed when it goes out of scope.
class TKey {
public:
    TKey() = default;
    ~TKey() {
        if (handle_) RegCloseKey(handle_);
    }
    TKey(const TKey&) = delete;
    TKey& operator=(const TKey&) = delete;
    bool Open(HKEY rootKey, const String& key, REGSAM access) {
        return RegOpenKeyExW(rootKey, key.c_str(), 0, RegistryViewFlags(access), &handle_) == ERROR_SUCCESS;
    }
    HKEY Handle() const { return handle_; }

private:
    HKEY handle_ = 0;
};

bool Fail(bool raiseException, const TResStringRec& rec, HKEY rootKey, const String& key, const String& name = {}) {
    if (raiseException) Raise(rec, rootKey, key, name);
    return false;
}

bool GetRegValueData(HKEY rootKey, const String& key, const String& name, uint16_t kinds, DWORD maxSize,
                     DWORD& dataType, void* buffer, DWORD& dataSize, bool raiseException) {
    dataType = 0;
    dataSize = 0;
    const String path = StripRootKeyPrefix(rootKey, key);
    TKey k;
    if (!k.Open(rootKey, path, KEY_READ)) return Fail(raiseException, RsUnableToOpenKeyRead, rootKey, path);
    if (RegQueryValueExW(k.Handle(), name.c_str(), nullptr, &dataType, nullptr, &dataSize) != ERROR_SUCCESS)
        return Fail(raiseException, RsUnableToAccessValue, rootKey, path, name);
    if (dataType > 15 || !(kinds & 1u << dataType) || dataSize > maxSize)
        return Fail(raiseException, RsWrongDataType, rootKey, path, name);
    if (RegQueryValueExW(k.Handle(), name.c_str(), nullptr, nullptr, static_cast<uint8_t*>(buffer), &dataSize) !=
        ERROR_SUCCESS)
        return Fail(raiseException, RsUnableToAccessValue, rootKey, path, name);
    return true;
}

void PutRegValueData(HKEY rootKey, const String& key, const String& name, DWORD size, const void* data, DWORD dataType) {
    const String path = StripRootKeyPrefix(rootKey, key);
    if (!RegKeyPresent(rootKey, path)) CreateRegKey(rootKey, path);
    TKey k;
    if (!k.Open(rootKey, path, KEY_WRITE)) Raise(RsUnableToOpenKeyWrite, rootKey, path);
    if (RegSetValueExW(k.Handle(), name.c_str(), 0, dataType, static_cast<const uint8_t*>(data), size) != ERROR_SUCCESS)
        Raise(RsUnableToOpenKeyWrite, rootKey, path);
}

void StoreNumber(HKEY rootKey, const String& key, const String& name, uint64_t value, DWORD dataType) {
    uint8_t bytes[8];
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    PutRegValueData(rootKey, key, name, dataType == REG_QWORD ? 8 : 4, bytes, dataType);
}

} // namespace

const TRootKey RootKeys[14] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", u"HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", u"HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", u"HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, "HKEY_USERS", u"HKEY_USERS"},
    {HKEY_PERFORMANCE_DATA, "HKEY_PERFORMANCE_DATA", u"HKEY_PERFORMANCE_DATA"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG", u"HKEY_CURRENT_CONFIG"},
    {HKEY_DYN_DATA, "HKEY_DYN_DATA", u"HKEY_DYN_DATA"},
    {HKEY_CLASSES_ROOT, "HKCR", u"HKCR"},
    {HKEY_CURRENT_USER, "HKCU", u"HKCU"},
    {HKEY_LOCAL_MACHINE, "HKLM", u"HKLM"},
    {HKEY_USERS, "HKUS", u"HKUS"},
    {HKEY_PERFORMANCE_DATA, "HKPD", u"HKPD"},
    {HKEY_CURRENT_CONFIG, "HKCC", u"HKCC"},
    {HKEY_DYN_DATA, "HKDD", u"HKDD"},
};

String RootKeyDisplayName(HKEY rootKey) {
    for (int i = 0; i < 7; ++i)
        if (RootKeys[i].Key == rootKey) return RootKeys[i].WideName;
    return Format(u"0x%.8x", {static_cast<int64_t>(rootKey)});
}

String StripRootKeyPrefix(HKEY rootKey, const String& key) {
    String rest = key.starts_with(u'\\') ? key.substr(1) : key;
    for (const TRootKey& row : RootKeys) {
        if (rest.starts_with(std::u16string_view(row.WideName + u"\\"))) {
            if (row.Key != rootKey) throw EScRegistryError(Format(LoadResString(RsInconsistentPath), {key}));
            return rest.substr(row.WideName.size());
        }
    }
    return rest;
}

REGSAM RegistryViewFlags(REGSAM access) { return access; }

bool RegKeyPresent(HKEY rootKey, const String& key) {
    TKey k;
    return k.Open(rootKey, StripRootKeyPrefix(rootKey, key), KEY_READ);
}

bool GetRegValueType(HKEY rootKey, const String& key, const String& name, DWORD& dataType) {
    dataType = 0;
    TKey k;
    try {
        if (!k.Open(rootKey, StripRootKeyPrefix(rootKey, key), KEY_READ)) return false;
    } catch (const EScRegistryError&) {
        return false;
    }
    return RegQueryValueExW(k.Handle(), name.c_str(), nullptr, &dataType, nullptr, nullptr) == ERROR_SUCCESS;
}

LONG CreateRegKey(HKEY rootKey, const String& key) {
    HKEY handle = 0;
    const LONG rc = RegCreateKeyExW(rootKey, StripRootKeyPrefix(rootKey, key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                    RegistryViewFlags(KEY_ALL_ACCESS), nullptr, &handle, nullptr);
    if (rc == ERROR_SUCCESS) RegCloseKey(handle);
    return rc;
}

bool DeleteRegValue(HKEY rootKey, const String& key, const String& name) {
    const String path = StripRootKeyPrefix(rootKey, key);
    TKey k;
    if (!k.Open(rootKey, path, KEY_SET_VALUE)) Raise(RsUnableToOpenKeyWrite, rootKey, path);
    if (RegDeleteValueW(k.Handle(), name.c_str()) != ERROR_SUCCESS) Raise(RsUnableToAccessValue, rootKey, path, name);
    return true;
}

bool DeleteRegKeyTree(HKEY rootKey, const String& key) {
    const String path = StripRootKeyPrefix(rootKey, key);
    bool allGone = true;
    {
        TKey k;
        if (!k.Open(rootKey, path, KEY_ALL_ACCESS)) Raise(RsUnableToOpenKeyWrite, rootKey, path);
        DWORD subKeys = 0, longest = 0;
        if (RegQueryInfoKeyW(k.Handle(), nullptr, nullptr, nullptr, &subKeys, &longest, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return false;
        std::u16string name(longest + 1, u'\0');
        for (DWORD i = subKeys; allGone && i-- > 0;) {
            DWORD length = longest + 1;
            if (RegEnumKeyExW(k.Handle(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                return false;
            allGone = DeleteRegKeyTree(rootKey, path + u"\\" + String(name.substr(0, length)));
        }
    }
    return allGone && RegDeleteKeyW(rootKey, path.c_str()) == ERROR_SUCCESS;
}

bool ReadRegIntegerEx(HKEY rootKey, const String& key, const String& name, int32_t& value, bool raiseException) {
    int64_t number = 0;
    DWORD type = 0;
    GetRegValueType(rootKey, key, name, type);
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        const String text = ReadRegString(rootKey, key, name);
        if (raiseException) {
            number = StrToInt64(text);
        } else if (!TryStrToInt64(text, number)) {
            return false;
        }
    } else {
        DWORD size = 0;
        if (!GetRegValueData(rootKey, key, name, KindsOfInteger, 8, type, &number, size, raiseException)) return false;
    }
    value = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(number)));
    return true;
}

int32_t ReadRegIntegerDef(HKEY rootKey, const String& key, const String& name, int32_t def) {
    int32_t value = 0;
    try {
        return ReadRegIntegerEx(rootKey, key, name, value, false) ? value : def;
    } catch (const Exception&) {
        return def;
    }
}

bool ReadRegBoolDef(HKEY rootKey, const String& key, const String& name, bool def) {
    return ReadRegIntegerDef(rootKey, key, name, def ? 1 : 0) != 0;
}

bool ReadRegStringEx(HKEY rootKey, const String& key, const String& name, String& value, bool raiseException) {
    value.clear();
    const String path = StripRootKeyPrefix(rootKey, key);
    TKey k;
    if (!k.Open(rootKey, path, KEY_READ)) return Fail(raiseException, RsUnableToOpenKeyRead, rootKey, path);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(k.Handle(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return Fail(raiseException, RsUnableToAccessValue, rootKey, path, name);
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_BINARY)
        return Fail(raiseException, RsWrongDataType, rootKey, path, name);
    std::string bytes(size, '\0');
    if (RegQueryValueExW(k.Handle(), name.c_str(), nullptr, nullptr, reinterpret_cast<uint8_t*>(bytes.data()), &size) !=
        ERROR_SUCCESS)
        return Fail(raiseException, RsUnableToAccessValue, rootKey, path, name);
    std::u16string text(size / 2, u'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * 2);
    if (!text.empty() && text.back() == u'\0') text.pop_back();
    value = String(std::move(text));
    return true;
}

String ReadRegString(HKEY rootKey, const String& key, const String& name) {
    String value;
    ReadRegStringEx(rootKey, key, name, value, true);
    return value;
}

String ReadRegStringDef(HKEY rootKey, const String& key, const String& name, const String& def) {
    String value;
    try {
        return ReadRegStringEx(rootKey, key, name, value, false) ? value : def;
    } catch (const Exception&) {
        return def;
    }
}

bool ReadRegBinaryEx(HKEY rootKey, const String& key, const String& name, void* buffer, DWORD bufferSize,
                     DWORD& dataSize, bool raiseException) {
    DWORD type = 0;
    return GetRegValueData(rootKey, key, name, KindsOfBinary, bufferSize, type, buffer, dataSize, raiseException);
}

DWORD ReadRegBinary(HKEY rootKey, const String& key, const String& name, void* buffer, DWORD bufferSize) {
    DWORD size = 0;
    ReadRegBinaryEx(rootKey, key, name, buffer, bufferSize, size, true);
    return size;
}

void WriteRegInteger(HKEY rootKey, const String& key, const String& name, int32_t value) {
    WriteRegIntegerAs(rootKey, key, name, value, REG_DWORD);
}

void WriteRegCardinal(HKEY rootKey, const String& key, const String& name, uint32_t value) {
    WriteRegCardinalAs(rootKey, key, name, value, REG_DWORD);
}

void WriteRegIntegerAs(HKEY rootKey, const String& key, const String& name, int32_t value, DWORD dataType) {
    if (dataType == REG_SZ || dataType == REG_EXPAND_SZ)
        return WriteRegStringAs(rootKey, key, name, IntToStr(value), dataType);
    if (dataType != REG_BINARY && dataType != REG_DWORD && dataType != REG_QWORD)
        Raise(RsWrongDataType, rootKey, StripRootKeyPrefix(rootKey, key), name);
    StoreNumber(rootKey, key, name, static_cast<uint64_t>(static_cast<int64_t>(value)), dataType);
}

void WriteRegCardinalAs(HKEY rootKey, const String& key, const String& name, uint32_t value, DWORD dataType) {
    if (dataType == REG_SZ || dataType == REG_EXPAND_SZ)
        return WriteRegStringAs(rootKey, key, name, UIntToStr(value), dataType);
    if (dataType != REG_BINARY && dataType != REG_DWORD && dataType != REG_QWORD)
        Raise(RsWrongDataType, rootKey, StripRootKeyPrefix(rootKey, key), name);
    StoreNumber(rootKey, key, name, value, dataType);
}

void WriteRegString(HKEY rootKey, const String& key, const String& name, const String& value) {
    WriteRegStringAs(rootKey, key, name, value, REG_SZ);
}

void WriteRegStringAs(HKEY rootKey, const String& key, const String& name, const String& value, DWORD dataType) {
    if (dataType != REG_SZ && dataType != REG_EXPAND_SZ && dataType != REG_BINARY)
        Raise(RsWrongDataType, rootKey, StripRootKeyPrefix(rootKey, key), name);
    PutRegValueData(rootKey, key, name, static_cast<DWORD>((value.size() + 1) * 2), value.c_str(), dataType);
}

void WriteRegBinary(HKEY rootKey, const String& key, const String& name, const void* buffer, DWORD bufferSize) {
    PutRegValueData(rootKey, key, name, bufferSize, buffer, REG_BINARY);
}

extern const TSupportUnit ScRegistryUnit{u"ScRegistry", SC_UNIT_VERSION("src/support/utils/ScRegistry.cpp"), ScRegistryStrings};
