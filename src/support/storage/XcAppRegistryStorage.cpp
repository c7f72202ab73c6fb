#include "support/storage/XcAppRegistryStorage.h"

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/RegistryHive.h"
#include "platform/rtl/StringList.h"
#include "support/storage/XcExtendedFloat.h"
#include "support/storage/XcTranslateString.h"
#include "support/utils/ScRegistry.h"
#include "support/utils/SupportUnit.h"

namespace {

const TResStringRec* const XcAppRegistryStorageStrings[] = {&SXcUnableToCreateKey, &SXcErrorEnumeratingRegistry};

constexpr const char16_t* NoRoot = u"%NONE%";

// Registry names as long as the registry allows, with their NUL.
constexpr DWORD KeyNameBuffer = RegMaxKeyNameLength + 1;
constexpr DWORD ValueNameBuffer = RegMaxValueNameLength + 1;

// A key opened for reading, closed when it goes out of scope; not open when it does not exist.
class TReadKey {
public:
    TReadKey(HKEY root, const String& key) {
        if (RegOpenKeyExW(root, StripRootKeyPrefix(root, key).c_str(), 0, KEY_READ, &handle_) != ERROR_SUCCESS)
            handle_ = 0;
    }
    ~TReadKey() {
        if (handle_) RegCloseKey(handle_);
    }
    TReadKey(const TReadKey&) = delete;
    TReadKey& operator=(const TReadKey&) = delete;
    bool IsOpen() const noexcept { return handle_ != 0; }

    // Calls Visit with each subkey's name (or value's name) until the end.
    template <class Visit>
    void ForEachSubKey(Visit visit) const {
        std::u16string name(KeyNameBuffer, u'\0');
        for (DWORD i = 0;; ++i) {
            DWORD length = KeyNameBuffer;
            if (!Continue(RegEnumKeyExW(handle_, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr))) return;
            visit(String(name.substr(0, length)));
        }
    }
    template <class Visit>
    void ForEachValue(Visit visit) const {
        std::u16string name(ValueNameBuffer, u'\0');
        for (DWORD i = 0;; ++i) {
            DWORD length = ValueNameBuffer;
            if (!Continue(RegEnumValueW(handle_, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr))) return;
            visit(String(name.substr(0, length)));
        }
    }

private:
    static bool Continue(LONG rc) {
        if (rc == ERROR_SUCCESS) return true;
        if (rc == ERROR_NO_MORE_ITEMS) return false;
        throw EScRegistryError(LoadResString(SXcErrorEnumeratingRegistry));
    }

    HKEY handle_ = 0;
};

} // namespace

RTL_PUBLISHED(TXcAppRegistryStorageOptions, c) {
    c.Property("StoreStringListAsSingleString", &TXcAppRegistryStorageOptions::StoreStringListAsSingleString,
               &TXcAppRegistryStorageOptions::SetStoreStringListAsSingleString)
        .Default(false);
}

RTL_PUBLISHED(TXcAppRegistryStorage, c) {
    using T = TXcAppRegistryStorage;
    c.Property("RegRoot", &T::RegRoot, &T::SetRegRoot).Default(hkCurrentUser);
    c.Property("Root", &T::Root, &T::SetRoot);
    c.Property("SubStorages", &T::SubStorages, &T::SetSubStorages);
    c.Property("FlushOnDestroy", &T::FlushOnDestroy, &T::SetFlushOnDestroy).Default(true);
    c.Property("UseOldDefaultRoot", &T::UseOldDefaultRoot, &T::SetUseOldDefaultRoot).Default(false);
    c.Property("ReadOnly", &T::ReadOnly, &T::SetReadOnly).Default(false);
    c.Property("StorageOptions", &T::StorageOptions, &T::SetStorageOptions);
}

TXcAppRegistryStorage::TXcAppRegistryStorage(TComponent* owner)
    : TXcCustomAppStorage(owner, TXcAppRegistryStorageOptions::StaticClass()) {}

void TXcAppRegistryStorage::SetRegRoot(TXcRegKey value) {
    if (value != RegRoot()) regRoot_ = HKEY_CLASSES_ROOT + static_cast<HKEY>(value);
}

void TXcAppRegistryStorage::SetRoot(const String& value) {
    TXcCustomAppStorage::SetRoot(value);
    if (ComponentState().Contains(csDesigning)) {
        if (Root() != OldDefaultRoot) useOldDefaultRoot_ = false;
        if (Root().empty()) TXcCustomAppStorage::SetRoot(NoRoot);
        return;
    }
    if (Root() == NoRoot) return TXcCustomAppStorage::SetRoot(String());
    // Expanded once: a macro whose value holds a macro stays as it is.
    bool changed = false;
    const String expanded = ActiveTranslateStringEngine()->TranslateString(Root(), changed);
    if (changed) TXcCustomAppStorage::SetRoot(expanded);
}

void TXcAppRegistryStorage::SetUseOldDefaultRoot(bool value) {
    useOldDefaultRoot_ = value;
    if (value) SetRoot(OldDefaultRoot);
}

void TXcAppRegistryStorage::Loaded() {
    TXcCustomAppStorage::Loaded();
    SetUseOldDefaultRoot(useOldDefaultRoot_);
    SetRoot(Root());
}

template <class T, class Read>
T TXcAppRegistryStorage::DefaultOnRegistryError(const T& defaultValue, Read read) {
    try {
        return read();
    } catch (const EScRegistryError&) {
        if (StorageOptions()->DefaultIfReadConvertError()) return defaultValue;
        throw;
    }
}

void TXcAppRegistryStorage::CreateKey(const String& key) {
    if (!RegKeyPresent(regRoot_, key) && CreateRegKey(regRoot_, key) != ERROR_SUCCESS)
        throw EXCLException(Format(LoadResString(SXcUnableToCreateKey), {key}));
}

void TXcAppRegistryStorage::RawEnumFolders(const String& path, TStrings& names, bool reportListAsValue) {
    const TReadKey key(regRoot_, AbsolutePath(path));
    if (!key.IsOpen()) return;
    names.Updating([&] {
        key.ForEachSubKey([&](const String& name) {
            if (!reportListAsValue || !RawHasList(path + u"\\" + name, u"Item")) names.Add(name);
        });
    });
}

void TXcAppRegistryStorage::RawEnumValues(const String& path, TStrings& names, bool reportListAsValue) {
    const bool listHere = reportListAsValue && RawHasList(path, u"Item");
    if (listHere) names.Add(String());
    const TReadKey key(regRoot_, AbsolutePath(path));
    if (!key.IsOpen()) return;
    names.Updating([&] {
        key.ForEachValue([&](const String& name) {
            if (!listHere || (!SameText(name, u"Count") && !IsListItemName(name))) names.Add(name);
        });
    });
}

bool TXcAppRegistryStorage::RawIsFolder(const String& path, bool listIsValue) {
    const TReadKey key(regRoot_, AbsolutePath(path));
    if (!key.IsOpen()) return false;
    if (!listIsValue || !RawValueExists(path + u"\\Count")) return true;
    bool otherValue = false;
    key.ForEachValue([&](const String& name) {
        if (!SameText(name, u"Count") && !IsListItemName(name)) otherValue = true;
    });
    return otherValue;
}

bool TXcAppRegistryStorage::RawPathExists(const String& path) { return RegKeyPresent(regRoot_, AbsolutePath(path)); }

bool TXcAppRegistryStorage::RawValueExists(const String& path) {
    String key, name;
    SplitKeyPath(path, key, name);
    DWORD type = 0;
    return GetRegValueType(regRoot_, key, name, type);
}

void TXcAppRegistryStorage::RawDeleteValue(const String& path) {
    if (!RawValueExists(path)) return;
    String key, name;
    SplitKeyPath(path, key, name);
    DeleteRegValue(regRoot_, key, name);
}

void TXcAppRegistryStorage::RawDeleteSubTree(const String& path) {
    const String key = AbsolutePath(path);
    if (RegKeyPresent(regRoot_, key)) DeleteRegKeyTree(regRoot_, key);
}

int32_t TXcAppRegistryStorage::RawReadInteger(const String& path, int32_t defaultValue) {
    return DefaultOnRegistryError(defaultValue, [&] {
        String key, name;
        SplitKeyPath(path, key, name);
        return ReadRegIntegerDef(regRoot_, key, name, defaultValue);
    });
}

void TXcAppRegistryStorage::RawWriteInteger(const String& path, int32_t value) {
    String key, name;
    SplitKeyPath(path, key, name);
    CreateKey(key);
    WriteRegInteger(regRoot_, key, name, value);
}

bool TXcAppRegistryStorage::RawReadBool(const String& path, bool defaultValue) {
    return DefaultOnRegistryError(defaultValue, [&] {
        String key, name;
        SplitKeyPath(path, key, name);
        return ReadRegBoolDef(regRoot_, key, name, defaultValue);
    });
}

void TXcAppRegistryStorage::RawWriteBool(const String& path, bool value) {
    String key, name;
    SplitKeyPath(path, key, name);
    CreateKey(key);
    WriteRegCardinal(regRoot_, key, name, value ? 1 : 0);
}

double TXcAppRegistryStorage::RawReadFloat(const String& path, double defaultValue) {
    return DefaultOnRegistryError(defaultValue, [&] {
        String key, name;
        SplitKeyPath(path, key, name);
        TExtendedImage image = DoubleToExtended(defaultValue);
        ReadRegBinary(regRoot_, key, name, image.data(), static_cast<DWORD>(image.size()));
        return ExtendedToDouble(image);
    });
}

void TXcAppRegistryStorage::RawWriteFloat(const String& path, double value) {
    String key, name;
    SplitKeyPath(path, key, name);
    CreateKey(key);
    const TExtendedImage image = DoubleToExtended(value);
    WriteRegBinary(regRoot_, key, name, image.data(), static_cast<DWORD>(image.size()));
}

String TXcAppRegistryStorage::RawReadString(const String& path, const String& defaultValue) {
    return DefaultOnRegistryError(defaultValue, [&] {
        String key, name;
        SplitKeyPath(path, key, name);
        return ReadRegStringDef(regRoot_, key, name, defaultValue);
    });
}

void TXcAppRegistryStorage::RawWriteString(const String& path, const String& value) {
    String key, name;
    SplitKeyPath(path, key, name);
    CreateKey(key);
    WriteRegString(regRoot_, key, name, value);
}

// The registry keeps every text as it is, so wide text takes the string path.
String TXcAppRegistryStorage::RawReadWideString(const String& path, const String& defaultValue) {
    return RawReadString(path, defaultValue);
}

void TXcAppRegistryStorage::RawWriteWideString(const String& path, const String& value) { RawWriteString(path, value); }

int TXcAppRegistryStorage::RawReadBinary(const String& path, void* buffer, int size) {
    String key, name;
    SplitKeyPath(path, key, name);
    return static_cast<int>(ReadRegBinary(regRoot_, key, name, buffer, static_cast<DWORD>(size)));
}

void TXcAppRegistryStorage::RawWriteBinary(const String& path, const void* buffer, int size) {
    String key, name;
    SplitKeyPath(path, key, name);
    CreateKey(key);
    WriteRegBinary(regRoot_, key, name, buffer, static_cast<DWORD>(size));
}

extern const TSupportUnit XcAppRegistryStorageUnit{
    u"XcAppRegistryStorage", SC_UNIT_VERSION("src/support/storage/XcAppRegistryStorage.cpp"), XcAppRegistryStorageStrings};
