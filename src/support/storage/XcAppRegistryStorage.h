#pragma once
// TXcAppRegistryStorage: an application storage in the registry. A storage
// folder is a key below RegRoot, a value a named registry value: the path
// Conversion\ShowCmd of a storage with Root "Ostrel" is the value ShowCmd of
// HKEY_CURRENT_USER\Ostrel\Conversion. Integers and Booleans are REG_DWORD,
// texts REG_SZ, floats the 10 bytes of their x87 extended image (REG_BINARY).
// Every write creates the missing keys; every primitive opens and closes its
// own keys.

#include "platform/rtl/Registry.h"
#include "support/storage/XcAppStorage.h"

inline constexpr TResStringRec SXcUnableToCreateKey{0xF204, u"Unable to create key '%s'"};
inline constexpr TResStringRec SXcErrorEnumeratingRegistry{0xF205, u"Error enumerating registry"};

// The predefined keys, in the order of their handles (0x80000000 + n).
enum class TXcRegKey { hkClassesRoot, hkCurrentUser, hkLocalMachine, hkUsers, hkPerformanceData, hkCurrentConfig, hkDynData };
using enum TXcRegKey;
RTL_ENUM(TXcRegKey, hkClassesRoot, hkCurrentUser, hkLocalMachine, hkUsers, hkPerformanceData, hkCurrentConfig,
         hkDynData);

class TXcAppRegistryStorageOptions : public TXcAppStorageOptions {
    RTL_CLASS(TXcAppRegistryStorageOptions, TXcAppStorageOptions);

public:
    TXcAppRegistryStorageOptions() = default;
};

class TXcAppRegistryStorage : public TXcCustomAppStorage {
    RTL_CLASS(TXcAppRegistryStorage, TXcCustomAppStorage);

public:
    // The root value that UseOldDefaultRoot selects.
    static constexpr const char16_t* OldDefaultRoot = u"Software\\%COMPANY_NAME%\\%APPL_NAME%";

    explicit TXcAppRegistryStorage(TComponent* owner);

    TXcRegKey RegRoot() const noexcept { return static_cast<TXcRegKey>(regRoot_ & 0xFF); }
    void SetRegRoot(TXcRegKey value);
    // At run time "%NONE%" stands for an empty root and the root's macros are
    // expanded (once); while designing an empty root reads "%NONE%".
    void SetRoot(const String& value) override;
    bool UseOldDefaultRoot() const noexcept { return useOldDefaultRoot_; }
    void SetUseOldDefaultRoot(bool value);
    TXcAppRegistryStorageOptions* StorageOptions() const {
        return static_cast<TXcAppRegistryStorageOptions*>(TXcCustomAppStorage::StorageOptions());
    }
    void SetStorageOptions(TXcAppRegistryStorageOptions* value) { TXcCustomAppStorage::SetStorageOptions(value); }

protected:
    void Loaded() override;

    void RawEnumFolders(const String& path, TStrings& names, bool reportListAsValue) override;
    void RawEnumValues(const String& path, TStrings& names, bool reportListAsValue) override;
    bool RawIsFolder(const String& path, bool listIsValue) override;
    bool RawPathExists(const String& path) override;
    bool RawValueExists(const String& path) override;
    void RawDeleteValue(const String& path) override;
    void RawDeleteSubTree(const String& path) override;
    int32_t RawReadInteger(const String& path, int32_t defaultValue) override;
    void RawWriteInteger(const String& path, int32_t value) override;
    bool RawReadBool(const String& path, bool defaultValue) override;
    void RawWriteBool(const String& path, bool value) override;
    double RawReadFloat(const String& path, double defaultValue) override;
    void RawWriteFloat(const String& path, double value) override;
    String RawReadString(const String& path, const String& defaultValue) override;
    void RawWriteString(const String& path, const String& value) override;
    // Wide text is stored as it is (REG_SZ), like RawWriteString.
    String RawReadWideString(const String& path, const String& defaultValue) override;
    void RawWriteWideString(const String& path, const String& value) override;
    int RawReadBinary(const String& path, void* buffer, int size) override;
    void RawWriteBinary(const String& path, const void* buffer, int size) override;

private:
    // Creates Key below the root when it is missing; raises EXCLException
    // "Unable to create key '%s'" when that fails.
    void CreateKey(const String& key);
    // Runs Read; a registry error gives Default when DefaultIfReadConvertError is set.
    template <class T, class Read>
    T DefaultOnRegistryError(const T& defaultValue, Read read);

    HKEY regRoot_ = HKEY_CURRENT_USER;
    bool useOldDefaultRoot_ = false;
};
