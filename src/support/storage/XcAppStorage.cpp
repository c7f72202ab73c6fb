#include "support/storage/XcAppStorage.h"

#include <algorithm>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/Conversions.h"
#include "support/storage/XcTranslateString.h"
#include "support/storage/XcUtils.h"
#include "support/utils/ScBase64.h"
#include "support/utils/SupportUnit.h"

namespace {

const TResStringRec* const XcAppStorageStrings[] = {&SXcInvalidType, &SXcUnknownBaseType, &SXcNotAUniqueRootPath,
                                           &SXcCircularReference};

// Whether Root is Path or a folder above it, ignoring case.
bool IsFolderAbove(const String& root, const String& path) {
    return path.size() > root.size() && path[root.size()] == u'\\' && AnsiSameText(path.substr(0, root.size()), root);
}

// Whether Storage is Target or reaches it through its sub-storages.
bool Reaches(const TXcCustomAppStorage* storage, const TXcCustomAppStorage* target) {
    if (storage == target) return true;
    const TXcAppSubStorages& links = *storage->SubStorages();
    for (int i = 0; i < links.Count(); ++i)
        if (links.Items(i)->AppStorage() && Reaches(links.Items(i)->AppStorage(), target)) return true;
    return false;
}

} // namespace

RTL_PUBLISHED(TXcAppSubStorage, c) {
    c.Property("RootPath", &TXcAppSubStorage::RootPath, &TXcAppSubStorage::SetRootPath);
    c.Property("AppStorage", &TXcAppSubStorage::AppStorage, &TXcAppSubStorage::SetAppStorage);
}

RTL_PUBLISHED_NONE(TXcAppSubStorages);

RTL_PUBLISHED(TXcCustomAppStorage, c) { c.Property("OnError", &TXcCustomAppStorage::OnError, &TXcCustomAppStorage::OnError); }

// ---------------------------------------------------------------------------
// Sub-storages

TXcAppSubStorage::TXcAppSubStorage(TCollection* collection) : TCollectionItem(collection) {}

TXcCustomAppStorage* TXcAppSubStorage::OwningStorage() const {
    return static_cast<TXcAppSubStorages*>(Collection())->OwningStorage();
}

void TXcAppSubStorage::SetRootPath(const String& value) {
    const String path = TXcCustomAppStorage::JoinPaths({value});
    if (path == rootPath_) return;
    if (!static_cast<TXcAppSubStorages*>(Collection())->RootPathIsUnique(path, this))
        throw EXCLAppStorageError(Format(LoadResString(SXcNotAUniqueRootPath), {path}));
    rootPath_ = path;
}

void TXcAppSubStorage::SetAppStorage(TXcCustomAppStorage* value) {
    if (value == appStorage_) return;
    TXcCustomAppStorage* owner = OwningStorage();
    if (value && Reaches(value, owner)) throw EXCLAppStorageError(LoadResString(SXcCircularReference));
    TXcCustomAppStorage* const previous = appStorage_;
    AssignComponentReference(owner, value, appStorage_);
    // Another item may still hold the previous storage: it must go on notifying.
    if (previous && owner->SubStorages()->RefersTo(previous, this)) previous->FreeNotification(owner);
}

String TXcAppSubStorage::DisplayName() const {
    if (rootPath_.empty() || !appStorage_) return TCollectionItem::DisplayName();
    return u"\\" + rootPath_ + u"=" + appStorage_->Name();
}

TXcAppSubStorages::TXcAppSubStorages(TXcCustomAppStorage* owner)
    : TOwnedCollection(owner, TXcAppSubStorage::StaticClass()) {}

TXcAppSubStorage* TXcAppSubStorages::Items(int index) const {
    return static_cast<TXcAppSubStorage*>(TOwnedCollection::Items(index));
}

TXcCustomAppStorage* TXcAppSubStorages::OwningStorage() const { return static_cast<TXcCustomAppStorage*>(GetOwner()); }

bool TXcAppSubStorages::RootPathIsUnique(const String& path, const TXcAppSubStorage* ignore) const {
    for (int i = 0; i < Count(); ++i) {
        const TXcAppSubStorage* item = Items(i);
        if (item == ignore || item->RootPath().empty()) continue;
        if (AnsiSameText(item->RootPath(), path) || IsFolderAbove(item->RootPath(), path)) return false;
    }
    return true;
}

TXcAppSubStorage* TXcAppSubStorages::ItemAbove(const String& path) const {
    TXcAppSubStorage* found = nullptr;
    for (int i = 0; i < Count(); ++i) {
        TXcAppSubStorage* item = Items(i);
        if (!item->RootPath().empty() && IsFolderAbove(item->RootPath(), path) &&
            (!found || item->RootPath().size() > found->RootPath().size()))
            found = item;
    }
    return found;
}

bool TXcAppSubStorages::RefersTo(const TComponent* storage, const TXcAppSubStorage* ignore) const {
    for (int i = 0; i < Count(); ++i)
        if (Items(i) != ignore && Items(i)->AppStorage() == storage) return true;
    return false;
}

void TXcAppSubStorages::DeleteItemsOf(const TComponent* storage) {
    for (int i = Count() - 1; i >= 0; --i)
        if (Items(i)->AppStorage() == storage) Delete(i);
}

// ---------------------------------------------------------------------------
// Property engines

void TXcAppStoragePropertyEngineList::Register(std::unique_ptr<TXcAppStoragePropertyEngine> engine) {
    engines_.push_back(std::move(engine));
}

void TXcAppStoragePropertyEngineList::Unregister(TXcAppStoragePropertyEngine* engine) {
    std::erase_if(engines_, [engine](const auto& e) { return e.get() == engine; });
}

TXcAppStoragePropertyEngine* TXcAppStoragePropertyEngineList::EngineFor(TObject* object, TObject* property) const {
    for (const auto& engine : engines_)
        if (engine->Supports(object, property)) return engine.get();
    return nullptr;
}

TXcAppStoragePropertyEngineList& PropertyEngines() {
    static TXcAppStoragePropertyEngineList engines;
    return engines;
}

// ---------------------------------------------------------------------------
// The storage

TXcCustomAppStorage::TXcCustomAppStorage(TComponent* owner, TClass optionsClass)
    : TXcComponent(owner),
      options_(static_cast<TXcCustomAppStorageOptions*>(optionsClass->Create().release())),
      subStorages_(std::make_unique<TXcAppSubStorages>(this)),
      internalEngine_(new TXcTranslateString(this)) {}

TXcCustomAppStorage::~TXcCustomAppStorage() {
    // A backend that keeps changes in memory flushes them in its own destructor.
    if (flushOnDestroy_) FlushStorage();
}

String TXcCustomAppStorage::JoinPaths(std::initializer_list<String> segments) {
    return JoinPaths(std::span<const String>(segments.begin(), segments.size()));
}

String TXcCustomAppStorage::JoinPaths(std::span<const String> segments) {
    size_t start = 0;
    for (size_t i = segments.size(); i-- > 1;)
        if (segments[i].starts_with(u'\\')) {
            start = i;
            break;
        }
    std::vector<String> pieces;
    for (size_t i = start; i < segments.size(); ++i) {
        const String& segment = segments[i];
        for (size_t from = 0; from < segment.size();) {
            size_t end = segment.find(u'\\', from);
            if (end == String::npos) end = segment.size();
            const String piece = segment.substr(from, end - from);
            from = end + 1;
            if (piece.empty()) continue;
            if (piece.Std().find_first_not_of(u'.') != String::npos)
                pieces.push_back(piece);
            else
                pieces.resize(pieces.size() - std::min(piece.size() - 1, pieces.size()));
        }
    }
    String result;
    for (const String& piece : pieces) {
        if (!result.empty()) result += u'\\';
        result += piece;
    }
    return result;
}

bool TXcCustomAppStorage::IsListItemName(const String& path) {
    const String name = path.substr(path.rfind(u'\\') + 1);
    return name.size() > 4 && SameText(name.substr(0, 4), u"Item") && name[4] >= u'0' && name[4] <= u'9';
}

void TXcCustomAppStorage::SetRoot(const String& value) { root_ = JoinPaths({value}); }

void TXcCustomAppStorage::SetStorageOptions(TXcCustomAppStorageOptions* value) {
    if (value && value != options_.get()) options_->Assign(value);
}

bool TXcCustomAppStorage::ReadOnly() const {
    if (ComponentState().Contains(csDesigning)) return readOnly_;
    return readOnly_ || BackendReadOnly();
}

void TXcCustomAppStorage::SetTranslateStringEngine(TXcTranslateString* value) {
    AssignComponentReference(this, value, translateStringEngine_);
}

TXcTranslateString* TXcCustomAppStorage::ActiveTranslateStringEngine() const {
    return translateStringEngine_ ? translateStringEngine_ : internalEngine_;
}

TXcResolvedPath TXcCustomAppStorage::ResolvePath(const String& path) {
    String resolved = u"\\" + JoinPaths({path_, path});
    TXcCustomAppStorage* target = this;
    const TXcAppSubStorage* item = subStorages_->ItemAbove(resolved.substr(1));
    if (item && item->AppStorage()) {
        target = item->AppStorage();
        resolved = u"\\" + JoinPaths({resolved.substr(item->RootPath().size() + 2)});
    }
    return {target, resolved};
}

String TXcCustomAppStorage::AbsolutePath(const String& path) const {
    String result = root_ + u"\\" + JoinPaths({path_, path});
    const size_t first = result.Std().find_first_not_of(u'\\');
    return first == String::npos ? String() : result.substr(first);
}

void TXcCustomAppStorage::SplitKeyPath(const String& path, String& key, String& valueName) const {
    const String absolute = AbsolutePath(path);
    const size_t last = absolute.rfind(u'\\');
    key = last == String::npos ? String() : absolute.substr(0, last);
    valueName = absolute.substr(last == String::npos ? 0 : last + 1);
}

bool TXcCustomAppStorage::RawHasList(const String& path, const String&) {
    return RawValueExists(path.ends_with(u'\\') ? path + u"Count" : path + u"\\Count");
}

bool TXcCustomAppStorage::HasValue(const String& path) {
    const auto [target, resolved] = ResolvePath(path);
    return target->RawValueExists(resolved);
}

bool TXcCustomAppStorage::PathExists(const String& path) {
    const auto [target, resolved] = ResolvePath(path);
    return target->RawPathExists(resolved);
}

bool TXcCustomAppStorage::IsFolder(const String& path, bool listIsValue) {
    const auto [target, resolved] = ResolvePath(path);
    return target->RawIsFolder(resolved, listIsValue);
}

bool TXcCustomAppStorage::HasList(const String& path, const String& itemName) {
    const auto [target, resolved] = ResolvePath(path);
    return target->RawHasList(resolved, itemName);
}

void TXcCustomAppStorage::EnumFolders(const String& path, TStrings& names, bool reportListAsValue) {
    const auto [target, resolved] = ResolvePath(path);
    target->RawEnumFolders(resolved, names, reportListAsValue);
}

void TXcCustomAppStorage::EnumValues(const String& path, TStrings& names, bool reportListAsValue) {
    const auto [target, resolved] = ResolvePath(path);
    target->RawEnumValues(resolved, names, reportListAsValue);
}

void TXcCustomAppStorage::DeleteValue(const String& path) {
    const auto [target, resolved] = ResolvePath(path);
    if (!target->ReadOnly()) target->RawDeleteValue(resolved);
}

void TXcCustomAppStorage::DeleteSubTree(const String& path) {
    const auto [target, resolved] = ResolvePath(path);
    if (!target->ReadOnly()) target->RawDeleteSubTree(resolved);
}

int32_t TXcCustomAppStorage::ReadInteger(const String& path, int32_t defaultValue) {
    const auto [target, resolved] = ResolvePath(path);
    return target->TypedReadInteger(resolved, defaultValue);
}

void TXcCustomAppStorage::WriteInteger(const String& path, int32_t value) {
    const auto [target, resolved] = ResolvePath(path);
    if (!target->ReadOnly()) target->TypedWriteInteger(resolved, value);
}

double TXcCustomAppStorage::ReadFloat(const String& path, double defaultValue) {
    const auto [target, resolved] = ResolvePath(path);
    return target->TypedReadFloat(resolved, defaultValue);
}

void TXcCustomAppStorage::WriteFloat(const String& path, double value) {
    const auto [target, resolved] = ResolvePath(path);
    if (!target->ReadOnly()) target->TypedWriteFloat(resolved, value);
}

String TXcCustomAppStorage::ReadString(const String& path, const String& defaultValue) {
    const auto [target, resolved] = ResolvePath(path);
    return target->TypedReadString(resolved, defaultValue);
}

void TXcCustomAppStorage::WriteString(const String& path, const String& value) {
    const auto [target, resolved] = ResolvePath(path);
    if (!target->ReadOnly()) target->TypedWriteString(resolved, value);
}

TDateTime TXcCustomAppStorage::ReadDateTimeValue(const String& path, TDateTime defaultValue) {
    const auto [target, resolved] = ResolvePath(path);
    return target->TypedReadDateTime(resolved, defaultValue);
}

void TXcCustomAppStorage::WriteDateTimeValue(const String& path, TDateTime value) {
    const auto [target, resolved] = ResolvePath(path);
    if (!target->ReadOnly()) target->TypedWriteDateTime(resolved, value);
}

bool TXcCustomAppStorage::ReadBool(const String& path, bool defaultValue) {
    const auto [target, resolved] = ResolvePath(path);
    return target->TypedReadBool(resolved, defaultValue);
}

void TXcCustomAppStorage::WriteBool(const String& path, bool value) {
    const auto [target, resolved] = ResolvePath(path);
    if (!target->ReadOnly()) target->TypedWriteBool(resolved, value);
}

int TXcCustomAppStorage::ReadBinary(const String& path, void* buffer, int size) {
    const auto [target, resolved] = ResolvePath(path);
    return target->TypedReadBinary(resolved, buffer, size);
}

void TXcCustomAppStorage::WriteBinary(const String& path, const void* buffer, int size) {
    const auto [target, resolved] = ResolvePath(path);
    if (!target->ReadOnly()) target->TypedWriteBinary(resolved, buffer, size);
}

int32_t TXcCustomAppStorage::TypedReadInteger(const String& path, int32_t defaultValue) {
    if (options_->DefaultIfValueNotExists() && !RawValueExists(path)) return defaultValue;
    return DefaultOnConvertError(defaultValue, [&] { return RawReadInteger(path, defaultValue); });
}

void TXcCustomAppStorage::TypedWriteInteger(const String& path, int32_t value) { RawWriteInteger(path, value); }

double TXcCustomAppStorage::TypedReadFloat(const String& path, double defaultValue) {
    if (options_->DefaultIfValueNotExists() && !RawValueExists(path)) return defaultValue;
    return DefaultOnConvertError(defaultValue, [&] {
        const auto readText = [&] {
            return StrToFloat(DecryptValue(RawReadString(path, EncryptValue(FloatToStr(defaultValue)))));
        };
        if (options_->FloatAsString()) {
            try {
                return readText();
            } catch (const EConvertError&) {
                return RawReadFloat(path, defaultValue);
            }
        }
        try {
            return RawReadFloat(path, defaultValue);
        } catch (const EConvertError&) {
            return readText();
        }
    });
}

void TXcCustomAppStorage::TypedWriteFloat(const String& path, double value) {
    if (options_->FloatAsString())
        RawWriteString(path, EncryptValue(FloatToStr(value)));
    else
        RawWriteFloat(path, value);
}

namespace {

// The UTF-8 bytes of Text, one character each, and back: a text that holds a
// character above 0xFF is no such form and comes back unchanged.
String Utf8Form(const String& text) {
    String form;
    for (const unsigned char byte : text.ToUtf8()) form.Std().push_back(byte);
    return form;
}

String FromUtf8Form(const String& form) {
    if (std::any_of(form.begin(), form.end(), [](char16_t c) { return c > 0xFF; })) return form;
    return String::FromUtf8(std::string(form.begin(), form.end()));
}

} // namespace

String TXcCustomAppStorage::RawReadWideString(const String& path, const String& defaultValue) {
    return FromUtf8Form(RawReadString(path, Utf8Form(defaultValue)));
}

void TXcCustomAppStorage::RawWriteWideString(const String& path, const String& value) {
    RawWriteString(path, Utf8Form(value));
}

String TXcCustomAppStorage::TypedReadString(const String& path, const String& defaultValue) {
    if (options_->DefaultIfValueNotExists() && !RawValueExists(path)) return defaultValue;
    return DefaultOnConvertError(defaultValue,
                                 [&] { return DecryptValue(RawReadString(path, EncryptValue(defaultValue))); });
}

void TXcCustomAppStorage::TypedWriteString(const String& path, const String& value) {
    RawWriteString(path, EncryptValue(value));
}

TDateTime TXcCustomAppStorage::TypedReadDateTime(const String& path, TDateTime defaultValue) {
    if (options_->DefaultIfValueNotExists() && !RawValueExists(path)) return defaultValue;
    return DefaultOnConvertError(defaultValue, [&] {
        const auto readText = [&] {
            return TextToDateTime(DecryptValue(RawReadString(path, EncryptValue(DateTimeToText(defaultValue)))));
        };
        if (options_->DateTimeAsString()) {
            try {
                return readText();
            } catch (const EConvertError&) {
                return RawReadDateTime(path, defaultValue);
            }
        }
        try {
            return RawReadDateTime(path, defaultValue);
        } catch (const EConvertError&) {
            return readText();
        }
    });
}

void TXcCustomAppStorage::TypedWriteDateTime(const String& path, TDateTime value) {
    if (options_->DateTimeAsString())
        RawWriteString(path, EncryptValue(DateTimeToText(value)));
    else
        RawWriteDateTime(path, value);
}

bool TXcCustomAppStorage::TypedReadBool(const String& path, bool defaultValue) {
    if (options_->DefaultIfValueNotExists() && !RawValueExists(path)) return defaultValue;
    return DefaultOnConvertError(defaultValue, [&] {
        if (options_->BooleanAsString()) {
            try {
                const String defaultText = defaultValue ? options_->DefaultTrueString() : options_->DefaultFalseString();
                const String text = DecryptValue(RawReadString(path, EncryptValue(defaultText)));
                if (options_->IsValueTrueString(text)) return true;
                if (options_->IsValueFalseString(text)) return false;
            } catch (const EConvertError&) {
            }
        }
        return RawReadBool(path, defaultValue);
    });
}

void TXcCustomAppStorage::TypedWriteBool(const String& path, bool value) {
    if (options_->BooleanAsString())
        RawWriteString(path, EncryptValue(value ? options_->DefaultTrueString() : options_->DefaultFalseString()));
    else
        RawWriteBool(path, value);
}

String TXcCustomAppStorage::EncryptValue(const String& text) {
    if (!OnEncryptPropertyValue || !IsPropValueCryptEnabled()) return text;
    String value = text;
    OnEncryptPropertyValue(value);
    return String::FromUtf8(EncodeBase64Text(EncodeCodePage(value, CP_ACP)));
}

String TXcCustomAppStorage::DecryptValue(const String& text) {
    if (!OnDecryptPropertyValue || !IsPropValueCryptEnabled()) return text;
    String value = DecodeCodePage(DecodeBase64Text(text.ToUtf8()), CP_ACP);
    OnDecryptPropertyValue(value);
    return value;
}

String TXcCustomAppStorage::TranslatePropertyName(TPersistent* object, const String& name, bool reading) {
    String result = name;
    if (OnTranslatePropertyName) OnTranslatePropertyName(this, object, reading, result);
    return result;
}

String TXcCustomAppStorage::ItemPathName(const String& itemName, int index) const {
    if (options_->UseOldItemNameFormat()) return itemName + IntToStr(index);
    return itemName + u"[" + IntToStr(index) + u"]";
}

String TXcCustomAppStorage::CharElementName(int code) const {
    if (code >= 33 && code <= 122) return u"Char_" + String(1, static_cast<char16_t>(code));
    return u"Char#" + IntToStr(code);
}

String TXcCustomAppStorage::IntElementName(int value) const { return u"Int_" + IntToStr(value); }

int TXcCustomAppStorage::ReadItemCount(const String& path, const String&) {
    return ReadInteger(JoinPaths({path, u"Count"}), 0);
}

void TXcCustomAppStorage::WriteItemCount(const String& path, int count, const String&) {
    WriteInteger(JoinPaths({path, u"Count"}), count);
}

const TFormatSettings& TXcCustomAppStorage::DateTimeFormatSettings() {
    if (!IsUpdating()) {
        dateTimeFormatSettings_ = FormatSettings();
        const TXcTranslateString* engine = ActiveTranslateStringEngine();
        if (!engine->DateFormat().empty()) {
            dateTimeFormatSettings_.ShortDateFormat = engine->DateFormat();
            dateTimeFormatSettings_.LongDateFormat = engine->DateFormat();
        }
        if (!engine->TimeFormat().empty()) {
            dateTimeFormatSettings_.ShortTimeFormat = engine->TimeFormat();
            dateTimeFormatSettings_.LongTimeFormat = engine->TimeFormat();
        }
    }
    return dateTimeFormatSettings_;
}

String TXcCustomAppStorage::DateTimeToText(TDateTime value) {
    if (options_->UseTranslateStringEngineDateTimeFormats()) return DateTimeToStr(value, DateTimeFormatSettings());
    return DateTimeToStr(value);
}

TDateTime TXcCustomAppStorage::TextToDateTime(const String& text) {
    if (!options_->UseTranslateStringEngineDateTimeFormats()) return StrToDateTime(text);
    TDateTime value = 0;
    if (TryStrToDateTime(text, value, DateTimeFormatSettings())) return value;
    return StrToDateTime(text);
}

void TXcCustomAppStorage::Loaded() {
    TXcComponent::Loaded();
    if (!IsUpdating()) ReloadStorage();
}

void TXcCustomAppStorage::Notification(TComponent* component, TOperation operation) {
    TXcComponent::Notification(component, operation);
    if (operation != opRemove) return;
    subStorages_->DeleteItemsOf(component);
    if (component == translateStringEngine_) translateStringEngine_ = nullptr;
}

extern const TSupportUnit XcAppStorageUnit{u"XcAppStorage", SC_UNIT_VERSION("src/support/storage/XcAppStorage.cpp"),
                                           XcAppStorageStrings};
