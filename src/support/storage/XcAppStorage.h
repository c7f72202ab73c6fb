#pragma once
// TXcCustomAppStorage: a hierarchical key/value store for application
// settings. A storage path is made of segments separated by "\": the last one
// names a value, the ones before it nested folders. The base class does the
// path arithmetic, redirects sub-trees to other storages (SubStorages), reads
// and writes values as its options say, skips every change while read-only,
// and stores counted lists, ordinals, sets and whole objects through their
// published properties; a backend supplies the raw primitives.
//
// A relative path is taken below Path; the backend puts Root in front
// (AbsolutePath). Every public operation on a path first resolves it
// (ResolvePath) and then works on the storage that answers for it; a change
// does nothing when that storage is read-only.
//
// Layout of a counted list at L with item name N: the integer L\Count and the
// items at L\N0, L\N1, ... (L\N[0], ... without UseOldItemNameFormat); a
// string-list item is a string value, a collection item a folder of the
// item's properties. A set is a folder of one Boolean per possible member
// (named by the member, "Int_<n>" or "Char_<c>"/"Char#<code>"), or with
// SetAsString one text "[a, b]".

#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

#include "platform/rtl/Collection.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Interfaces.h"
#include "platform/rtl/ResourceStrings.h"
#include "platform/rtl/TypeInfo.h"
#include "support/storage/XcAppStorageOptions.h"
#include "support/storage/XcTypes.h"

class TStrings;
class TXcCustomAppStorage;
class TXcTranslateString;

RTL_DECLARE_EXCEPTION(EXCLAppStorageError, EXCLException);

inline constexpr TResStringRec SXcInvalidType{0xF200, u"Invalid type"};
inline constexpr TResStringRec SXcUnknownBaseType{0xF201, u"Unknown base type for given set"};
inline constexpr TResStringRec SXcNotAUniqueRootPath{0xF202, u"'%s' is not a unique root path"};
inline constexpr TResStringRec SXcCircularReference{0xF203, u"Circular reference of storages"};

// One redirection: the paths below RootPath go to AppStorage.
class TXcAppSubStorage : public TCollectionItem {
    RTL_CLASS(TXcAppSubStorage, TCollectionItem);

public:
    explicit TXcAppSubStorage(TCollection* collection);

    const String& RootPath() const noexcept { return rootPath_; }
    // Normalised. Raises EXCLAppStorageError "'%s' is not a unique root path"
    // when another item's root path equals it or is a folder above it.
    void SetRootPath(const String& value);
    TXcCustomAppStorage* AppStorage() const noexcept { return appStorage_; }
    // Raises EXCLAppStorageError "Circular reference of storages" when Value is
    // the owning storage or reaches it through its own sub-storages.
    void SetAppStorage(TXcCustomAppStorage* value);
    // "\<root path>=<storage name>" when both are set.
    String DisplayName() const override;

private:
    TXcCustomAppStorage* OwningStorage() const;

    String rootPath_;
    TXcCustomAppStorage* appStorage_ = nullptr;
};

class TXcAppSubStorages : public TOwnedCollection {
    RTL_CLASS(TXcAppSubStorages, TOwnedCollection);

public:
    explicit TXcAppSubStorages(TXcCustomAppStorage* owner);

    TXcAppSubStorage* Items(int index) const;
    TXcCustomAppStorage* OwningStorage() const;
    // No root but Ignore's equals Path or is a folder above it.
    bool RootPathIsUnique(const String& path, const TXcAppSubStorage* ignore) const;
    // The item with the longest root path that is a folder above Path (a
    // normalised path), ignoring case; null when none.
    TXcAppSubStorage* ItemAbove(const String& path) const;
    bool RefersTo(const TComponent* storage, const TXcAppSubStorage* ignore = nullptr) const;
    void DeleteItemsOf(const TComponent* storage);
};

// An object that stores itself: its published properties are stored as well
// only when it also carries IAppStoragePublishedProps.
class IAppStorageHandler : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{E3754817-49A3-4612-A228-5D44A088681D}");
    virtual void ReadFromAppStorage(TXcCustomAppStorage& storage, const String& path) = 0;
    virtual void WriteToAppStorage(TXcCustomAppStorage& storage, const String& path) = 0;
};

class IAppStoragePublishedProps : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{0211AEF7-CCE9-4F13-B3CE-287251C89182}");
};

// Takes over object properties of the kinds it supports (the first engine
// that supports a pair handles it).
class TXcAppStoragePropertyEngine {
public:
    virtual ~TXcAppStoragePropertyEngine() = default;
    virtual bool Supports(TObject* object, TObject* property) = 0;
    virtual void ReadProperty(TXcCustomAppStorage& storage, const String& path, TObject* object, TObject* property,
                              bool recursive, bool clearFirst) = 0;
    virtual void WriteProperty(TXcCustomAppStorage& storage, const String& path, TObject* object, TObject* property,
                               bool recursive) = 0;
};

class TXcAppStoragePropertyEngineList {
public:
    void Register(std::unique_ptr<TXcAppStoragePropertyEngine> engine);
    // Frees the engine.
    void Unregister(TXcAppStoragePropertyEngine* engine);
    TXcAppStoragePropertyEngine* EngineFor(TObject* object, TObject* property) const;

private:
    std::vector<std::unique_ptr<TXcAppStoragePropertyEngine>> engines_;
};

// The process-wide list, created on first use.
TXcAppStoragePropertyEngineList& PropertyEngines();

// (sender, object, reading, var name).
using TXcAppStoragePropTranslateEvent =
    std::function<void(TXcCustomAppStorage* sender, TPersistent* object, bool reading, String& name)>;
using TXcAppStorageCryptEvent = std::function<void(String& value)>;
using TXcAppStorageErrorEvent = std::function<void(TObject* sender, const String& message)>;
// Reads or writes item Index of a counted list; ItemPath is where it lives.
using TXcAppStorageListItem = std::function<void(const String& itemPath, int index)>;

struct TXcResolvedPath {
    TXcCustomAppStorage* Storage;
    String Path;
};

class TXcCustomAppStorage : public TXcComponent {
    RTL_CLASS(TXcCustomAppStorage, TXcComponent);

public:
    ~TXcCustomAppStorage() override;

    // The segments joined by "\" from the last one that starts with "\" on,
    // without empty and "." pieces; a piece of k dots removes the k-1 pieces
    // before it (never above the beginning). Never starts or ends with "\".
    static String JoinPaths(std::span<const String> segments);
    static String JoinPaths(std::initializer_list<String> segments);
    // The last segment starts with "Item" (any case) followed by a digit.
    static bool IsListItemName(const String& path);

    const String& Root() const noexcept { return root_; }
    // Normalised with JoinPaths.
    virtual void SetRoot(const String& value);
    const String& Path() const noexcept { return path_; }
    void SetPath(const String& value) { path_ = value; }
    TXcCustomAppStorageOptions* StorageOptions() const noexcept { return options_.get(); }
    // Copies the values (nothing for null or the storage's own options).
    void SetStorageOptions(TXcCustomAppStorageOptions* value);
    TXcAppSubStorages* SubStorages() const noexcept { return subStorages_.get(); }
    // The list is edited in place: the value is ignored.
    void SetSubStorages(TXcAppSubStorages*) {}
    bool FlushOnDestroy() const noexcept { return flushOnDestroy_; }
    virtual void SetFlushOnDestroy(bool value) { flushOnDestroy_ = value; }
    bool AutoFlush() const noexcept { return autoFlush_; }
    void SetAutoFlush(bool value) { autoFlush_ = value; }
    bool AutoReload() const noexcept { return autoReload_; }
    void SetAutoReload(bool value) { autoReload_ = value; }
    // The stored flag while designing; otherwise also true when the backend is read-only.
    bool ReadOnly() const;
    void SetReadOnly(bool value) { readOnly_ = value; }
    // An external macro engine (cleared when it is freed); the storage's own when none.
    TXcTranslateString* TranslateStringEngine() const noexcept { return translateStringEngine_; }
    void SetTranslateStringEngine(TXcTranslateString* value);
    TXcTranslateString* ActiveTranslateStringEngine() const;

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate() { --updateCount_; }
    bool IsUpdating() const noexcept { return updateCount_ > 0; }
    // The encryption events act only while enabled (counted).
    void EnablePropValueCrypt() { ++cryptEnableCount_; }
    void DisablePropValueCrypt() { --cryptEnableCount_; }
    bool IsPropValueCryptEnabled() const noexcept { return cryptEnableCount_ > 0; }

    // The storage that answers for Path (one level of sub-storages) and the
    // path within it, absolute ("\..." ).
    TXcResolvedPath ResolvePath(const String& path);
    // Root, "\" and the path below Path, without leading "\".
    String AbsolutePath(const String& path) const;

    bool HasValue(const String& path);
    // Whether the whole path names a folder.
    bool PathExists(const String& path);
    // With ListIsValue a folder that holds only a counted list is no folder.
    bool IsFolder(const String& path, bool listIsValue = true);
    bool HasList(const String& path, const String& itemName = u"Item");
    // Adds the names of the folders (values) at Path; with ReportListAsValue
    // a list counts as a value with an empty name, not as a folder.
    void EnumFolders(const String& path, TStrings& names, bool reportListAsValue = true);
    void EnumValues(const String& path, TStrings& names, bool reportListAsValue = true);
    void DeleteValue(const String& path);
    void DeleteSubTree(const String& path);

    int32_t ReadInteger(const String& path, int32_t defaultValue = 0);
    void WriteInteger(const String& path, int32_t value);
    double ReadFloat(const String& path, double defaultValue = 0);
    void WriteFloat(const String& path, double value);
    String ReadString(const String& path, const String& defaultValue = String());
    void WriteString(const String& path, const String& value);
    TDateTime ReadDateTimeValue(const String& path, TDateTime defaultValue);
    void WriteDateTimeValue(const String& path, TDateTime value);
    bool ReadBool(const String& path, bool defaultValue);
    void WriteBool(const String& path, bool value);
    // The size read.
    int ReadBinary(const String& path, void* buffer, int size);
    void WriteBinary(const String& path, const void* buffer, int size);

    // Counted lists (see the layout above). ReadItems calls ReadItem for each
    // stored item and returns their count. WriteItems writes Count items;
    // with DeleteSurplus the values of items beyond them are deleted.
    int ReadItems(const String& path, const TXcAppStorageListItem& readItem, const String& itemName = u"Item");
    void WriteItems(const String& path, int count, const TXcAppStorageListItem& writeItem, bool deleteSurplus,
                    const String& itemName = u"Item");
    // A counted list, or one text of lines at Path; the number of lines read.
    int ReadStrings(const String& path, TStrings& list, bool clearFirst = true, const String& itemName = u"Item");
    void WriteStrings(const String& path, TStrings& list, const String& itemName = u"Item");
    // A collection never stored keeps its items (with DefaultIfValueNotExists).
    int ReadCollectionItems(const String& path, TCollection& collection, bool clearFirst = true,
                            const String& itemName = u"Item");
    void WriteCollectionItems(const String& path, TCollection& collection, const String& itemName = u"Item");
    // Booleans, integers (by identifier where the type has an identifier
    // map), characters and enumerations (by name); other kinds raise
    // EXCLAppStorageError "Invalid type". A value outside the type's range
    // reads as the default.
    int64_t ReadEnumValue(const String& path, const TTypeInfo* type, int64_t defaultValue);
    void WriteEnumValue(const String& path, const TTypeInfo* type, int64_t value);
    // Sets of enumerations, integer ranges and characters; others raise
    // EXCLAppStorageError "Unknown base type for given set".
    TSetBits ReadSetValue(const String& path, const TTypeInfo* setType, const TSetBits& defaultValue);
    void WriteSetValue(const String& path, const TTypeInfo* setType, const TSetBits& value);
    // One published property; an object already being stored further up is skipped.
    void ReadPropertyValue(const String& path, TPersistent* object, bool clearFirst, bool recursive, const String& name);
    void WritePropertyValue(const String& path, TPersistent* object, bool recursive, const String& name);
    // Every published property not named in Ignore (ignoring case), or the
    // object's own IAppStorageHandler.
    void ReadObject(const String& path, TPersistent* object, const std::vector<String>& ignore = {},
                    bool clearFirst = true, bool recursive = true);
    void WriteObject(const String& path, TPersistent* object, const std::vector<String>& ignore = {},
                     bool recursive = true);

    // The name a property is stored under (OnTranslatePropertyName).
    String TranslatePropertyName(TPersistent* object, const String& name, bool reading);
    String ItemPathName(const String& itemName, int index) const;
    virtual String CharElementName(int code) const;
    virtual String IntElementName(int value) const;

    // Date-times as text in the process's format, or with
    // UseTranslateStringEngineDateTimeFormats in DateTimeFormatSettings.
    String DateTimeToText(TDateTime value);
    TDateTime TextToDateTime(const String& text);
    // The process's settings with the engine's date and time formats.
    const TFormatSettings& DateTimeFormatSettings();

    virtual void FlushStorage() {}
    virtual void ReloadStorage() {}
    bool NeedsFlush() const { return autoFlush_ && !IsUpdating(); }
    bool NeedsReload() const { return autoReload_ && !IsUpdating(); }

    TXcAppStoragePropTranslateEvent OnTranslatePropertyName;
    TXcAppStorageCryptEvent OnEncryptPropertyValue;
    TXcAppStorageCryptEvent OnDecryptPropertyValue;
    // Never raised by the storage.
    TXcAppStorageErrorEvent OnError;

protected:
    TXcCustomAppStorage(TComponent* owner, TClass optionsClass);

    // AbsolutePath cut at its last "\".
    virtual void SplitKeyPath(const String& path, String& key, String& valueName) const;

    // The backend. Paths are resolved ones.
    virtual void RawEnumFolders(const String& path, TStrings& names, bool reportListAsValue) = 0;
    virtual void RawEnumValues(const String& path, TStrings& names, bool reportListAsValue) = 0;
    virtual bool RawIsFolder(const String& path, bool listIsValue) = 0;
    virtual bool RawPathExists(const String& path) = 0;
    virtual bool RawValueExists(const String& path) = 0;
    virtual bool RawHasList(const String& path, const String& itemName);
    virtual void RawDeleteValue(const String& path) = 0;
    virtual void RawDeleteSubTree(const String& path) = 0;
    virtual int32_t RawReadInteger(const String& path, int32_t defaultValue) = 0;
    virtual void RawWriteInteger(const String& path, int32_t value) = 0;
    virtual double RawReadFloat(const String& path, double defaultValue) = 0;
    virtual void RawWriteFloat(const String& path, double value) = 0;
    virtual String RawReadString(const String& path, const String& defaultValue) = 0;
    virtual void RawWriteString(const String& path, const String& value) = 0;
    // Wide text as its UTF-8 form (one character per byte) through RawReadString
    // and RawWriteString; a backend that keeps wide text as it is overrides them.
    virtual String RawReadWideString(const String& path, const String& defaultValue);
    virtual void RawWriteWideString(const String& path, const String& value);
    virtual int RawReadBinary(const String& path, void* buffer, int size) = 0;
    virtual void RawWriteBinary(const String& path, const void* buffer, int size) = 0;
    virtual TDateTime RawReadDateTime(const String& path, TDateTime defaultValue) { return RawReadFloat(path, defaultValue); }
    virtual void RawWriteDateTime(const String& path, TDateTime value) { RawWriteFloat(path, value); }
    virtual bool RawReadBool(const String& path, bool defaultValue) { return RawReadInteger(path, defaultValue) != 0; }
    virtual void RawWriteBool(const String& path, bool value) { RawWriteInteger(path, value ? 1 : 0); }
    virtual bool BackendReadOnly() const { return false; }

    // The option-aware layer over the backend.
    virtual int32_t TypedReadInteger(const String& path, int32_t defaultValue);
    virtual void TypedWriteInteger(const String& path, int32_t value);
    virtual double TypedReadFloat(const String& path, double defaultValue);
    virtual void TypedWriteFloat(const String& path, double value);
    virtual String TypedReadString(const String& path, const String& defaultValue);
    virtual void TypedWriteString(const String& path, const String& value);
    virtual TDateTime TypedReadDateTime(const String& path, TDateTime defaultValue);
    virtual void TypedWriteDateTime(const String& path, TDateTime value);
    virtual bool TypedReadBool(const String& path, bool defaultValue);
    virtual void TypedWriteBool(const String& path, bool value);
    virtual int TypedReadBinary(const String& path, void* buffer, int size) { return RawReadBinary(path, buffer, size); }
    virtual void TypedWriteBinary(const String& path, const void* buffer, int size) { RawWriteBinary(path, buffer, size); }
    virtual int64_t TypedReadEnum(const String& path, const TTypeInfo* type, int64_t defaultValue);
    virtual void TypedWriteEnum(const String& path, const TTypeInfo* type, int64_t value);
    virtual TSetBits TypedReadSet(const String& path, const TTypeInfo* setType, const TSetBits& defaultValue);
    virtual void TypedWriteSet(const String& path, const TTypeInfo* setType, const TSetBits& value);

    virtual int ReadItemCount(const String& path, const String& itemName);
    virtual void WriteItemCount(const String& path, int count, const String& itemName);

    String EncryptValue(const String& text);
    String DecryptValue(const String& text);

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TXcAppSubStorage;

    // Runs Read; a conversion error gives Default when DefaultIfReadConvertError is set.
    template <class T, class Read>
    T DefaultOnConvertError(const T& defaultValue, Read read);
    void WriteSetMembers(const String& path, const TTypeInfo* setType, const TSetBits& value);
    TSetBits ReadSetMembers(const String& path, const TTypeInfo* setType);
    void ReadObjectProperty(const String& path, TPersistent* object, TObject* value, bool clearFirst, bool recursive);
    void WriteObjectProperty(const String& path, TPersistent* object, TObject* value, bool recursive);

    String root_;
    String path_;
    std::unique_ptr<TXcCustomAppStorageOptions> options_;
    std::unique_ptr<TXcAppSubStorages> subStorages_;
    bool flushOnDestroy_ = true;
    bool autoFlush_ = false;
    bool autoReload_ = false;
    bool readOnly_ = false;
    int cryptEnableCount_ = 0;
    int updateCount_ = 0;
    TXcTranslateString* internalEngine_;
    TXcTranslateString* translateStringEngine_ = nullptr;
    TFormatSettings dateTimeFormatSettings_;
    // The objects whose properties are being read or written, outermost first.
    std::vector<const TObject*> objectsInProgress_;
};

template <class T, class Read>
T TXcCustomAppStorage::DefaultOnConvertError(const T& defaultValue, Read read) {
    try {
        return read();
    } catch (const EConvertError&) {
        if (options_->DefaultIfReadConvertError()) return defaultValue;
        throw;
    }
}
