// The structured layer of TXcCustomAppStorage: counted lists, string lists,
// collections, ordinals, sets and objects through their published properties.

#include <algorithm>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/StringList.h"
#include "support/storage/XcAppStorage.h"
#include "support/utils/ScRTTI.h"

namespace {

// A path below a resolved (absolute) path, absolute again.
String ChildPath(const String& resolved, const String& name) {
    return u"\\" + TXcCustomAppStorage::JoinPaths({resolved, name});
}

bool Ignored(const std::vector<String>& ignore, const String& name) {
    return std::any_of(ignore.begin(), ignore.end(), [&](const String& s) { return SameText(s, name); });
}

// Marks an object as being read or written for the guard's lifetime.
class TObjectInProgress {
public:
    TObjectInProgress(std::vector<const TObject*>& objects, const TObject* object) : objects_(objects) {
        objects_.push_back(object);
    }
    ~TObjectInProgress() { objects_.pop_back(); }
    TObjectInProgress(const TObjectInProgress&) = delete;
    TObjectInProgress& operator=(const TObjectInProgress&) = delete;

private:
    std::vector<const TObject*>& objects_;
};

} // namespace

// ---------------------------------------------------------------------------
// Counted lists

int TXcCustomAppStorage::ReadItems(const String& path, const TXcAppStorageListItem& readItem, const String& itemName) {
    const int count = ReadItemCount(path, itemName);
    for (int i = 0; i < count; ++i) readItem(JoinPaths({path, ItemPathName(itemName, i)}), i);
    return count;
}

void TXcCustomAppStorage::WriteItems(const String& path, int count, const TXcAppStorageListItem& writeItem,
                                     bool deleteSurplus, const String& itemName) {
    if (ResolvePath(JoinPaths({path, u"*"})).Storage->ReadOnly()) return;
    const int previous = ReadItemCount(path, itemName);
    for (int i = 0; i < count; ++i) writeItem(JoinPaths({path, ItemPathName(itemName, i)}), i);
    if (deleteSurplus)
        for (int i = count; i < previous; ++i) DeleteValue(JoinPaths({path, ItemPathName(itemName, i)}));
    WriteItemCount(path, count, itemName);
}

int TXcCustomAppStorage::ReadStrings(const String& path, TStrings& list, bool clearFirst, const String& itemName) {
    if (clearFirst) list.Clear();
    if (HasList(path, itemName)) {
        int count = 0;
        list.Updating([&] {
            ReadObject(path, &list, {}, false, true);
            count = ReadItems(path, [&](const String& itemPath, int) { list.Add(ReadString(itemPath)); }, itemName);
        });
        return count;
    }
    if (!HasValue(path)) return 0;
    list.SetText(ReadString(path));
    return list.Count();
}

void TXcCustomAppStorage::WriteStrings(const String& path, TStrings& list, const String& itemName) {
    if (options_->StoreStringListAsSingleString()) {
        if (HasList(path, itemName)) DeleteSubTree(path);
        WriteString(path, list.Text());
        return;
    }
    WriteItems(path, list.Count(), [&](const String& itemPath, int i) { WriteString(itemPath, list[i]); }, true, itemName);
    WriteObject(path, &list, {}, true);
}

int TXcCustomAppStorage::ReadCollectionItems(const String& path, TCollection& collection, bool clearFirst,
                                             const String& itemName) {
    if (options_->DefaultIfValueNotExists() && !HasList(path, itemName)) return collection.Count();
    int count = 0;
    collection.BeginUpdate();
    try {
        if (clearFirst) collection.Clear();
        ReadObject(path, &collection, {}, false, true);
        count = ReadItems(
            path, [&](const String& itemPath, int) { ReadObject(itemPath, collection.Add(), {}, clearFirst, true); },
            itemName);
    } catch (...) {
        collection.EndUpdate();
        throw;
    }
    collection.EndUpdate();
    return count;
}

void TXcCustomAppStorage::WriteCollectionItems(const String& path, TCollection& collection, const String& itemName) {
    WriteItems(
        path, collection.Count(), [&](const String& itemPath, int i) { WriteObject(itemPath, collection.Items(i)); },
        true, itemName);
    WriteObject(path, &collection);
}

// ---------------------------------------------------------------------------
// Ordinals and sets

int64_t TXcCustomAppStorage::ReadEnumValue(const String& path, const TTypeInfo* type, int64_t defaultValue) {
    const auto [target, resolved] = ResolvePath(path);
    return target->TypedReadEnum(resolved, type, defaultValue);
}

void TXcCustomAppStorage::WriteEnumValue(const String& path, const TTypeInfo* type, int64_t value) {
    const auto [target, resolved] = ResolvePath(path);
    if (!target->ReadOnly()) target->TypedWriteEnum(resolved, type, value);
}

TSetBits TXcCustomAppStorage::ReadSetValue(const String& path, const TTypeInfo* setType, const TSetBits& defaultValue) {
    const auto [target, resolved] = ResolvePath(path);
    return target->TypedReadSet(resolved, setType, defaultValue);
}

void TXcCustomAppStorage::WriteSetValue(const String& path, const TTypeInfo* setType, const TSetBits& value) {
    const auto [target, resolved] = ResolvePath(path);
    if (!target->ReadOnly()) target->TypedWriteSet(resolved, setType, value);
}

void TXcCustomAppStorage::TypedWriteEnum(const String& path, const TTypeInfo* type, int64_t value) {
    if (IsBooleanType(type)) return TypedWriteBool(path, value != 0);
    switch (type->Kind) {
    case tkInteger: {
        const TIntToIdent toIdent = options_->TypedIntegerAsString() ? FindIntToIdent(type) : nullptr;
        String ident;
        if (toIdent && toIdent(static_cast<int32_t>(value), ident)) return TypedWriteString(path, ident);
        return TypedWriteInteger(path, static_cast<int32_t>(value));
    }
    case tkChar:
    case tkWChar:
        return TypedWriteInteger(path, static_cast<int32_t>(value));
    case tkEnumeration:
        if (options_->EnumerationAsString()) return TypedWriteString(path, GetEnumName(type, value));
        return TypedWriteInteger(path, static_cast<int32_t>(value));
    default:
        throw EXCLAppStorageError(LoadResString(SXcInvalidType));
    }
}

int64_t TXcCustomAppStorage::TypedReadEnum(const String& path, const TTypeInfo* type, int64_t defaultValue) {
    if (options_->DefaultIfValueNotExists() && !RawValueExists(path)) return defaultValue;
    const int32_t narrowDefault = static_cast<int32_t>(defaultValue);
    return DefaultOnConvertError(defaultValue, [&]() -> int64_t {
        if (IsBooleanType(type)) return TypedReadBool(path, defaultValue != 0) ? 1 : 0;
        int64_t value = 0;
        switch (type->Kind) {
        case tkInteger: {
            const TIdentToInt fromIdent = FindIdentToInt(type);
            if (!fromIdent) {
                value = TypedReadInteger(path, narrowDefault);
                break;
            }
            String text;
            const bool convertErrorGivesDefault = options_->DefaultIfReadConvertError();
            options_->SetDefaultIfReadConvertError(true);
            try {
                text = TypedReadString(path, String());
            } catch (...) {
                options_->SetDefaultIfReadConvertError(convertErrorGivesDefault);
                throw;
            }
            options_->SetDefaultIfReadConvertError(convertErrorGivesDefault);
            int32_t number = 0;
            value = !text.empty() && fromIdent(text, number) ? number : TypedReadInteger(path, narrowDefault);
            break;
        }
        case tkChar:
        case tkWChar:
            value = TypedReadInteger(path, narrowDefault);
            break;
        case tkEnumeration:
            value = GetEnumValue(type, TypedReadString(path, u" #!@not known@!# "));
            if (value == -1) value = TypedReadInteger(path, -1);
            if (value == -1) return defaultValue;
            break;
        default:
            throw EXCLAppStorageError(LoadResString(SXcInvalidType));
        }
        value = NarrowOrdinal(type->OrdType, value);
        return value >= type->MinValue && value <= type->MaxValue ? value : defaultValue;
    });
}

void TXcCustomAppStorage::TypedWriteSet(const String& path, const TTypeInfo* setType, const TSetBits& value) {
    if (options_->SetAsString())
        TypedWriteString(path, SetToText(setType, value, true));
    else
        WriteSetMembers(path, setType, value);
}

TSetBits TXcCustomAppStorage::TypedReadSet(const String& path, const TTypeInfo* setType, const TSetBits& defaultValue) {
    if (RawIsFolder(path, true)) return ReadSetMembers(path, setType);
    return DefaultOnConvertError(defaultValue, [&] {
        const String text = TypedReadString(path, SetToText(setType, defaultValue, true));
        TSetBits value = defaultValue;
        try {
            TextToSet(setType, value, text);
        } catch (const EScRTTIError& e) {
            throw EConvertError(e.Message());
        } catch (const ERangeError& e) {
            throw EConvertError(e.Message());
        }
        return value;
    });
}

namespace {

// The storage name of each possible member of a set, by its number.
template <class Visit>
bool ForEachMember(const TXcCustomAppStorage& storage, const TTypeInfo* setType, Visit visit) {
    const TTypeInfo* element = setType->CompType;
    for (int64_t v = element->MinValue; v <= element->MaxValue; ++v) {
        switch (element->Kind) {
        case tkEnumeration: visit(static_cast<int>(v), GetEnumName(element, v)); break;
        case tkInteger: visit(static_cast<int>(v), storage.IntElementName(static_cast<int>(v))); break;
        case tkChar:
        case tkWChar: visit(static_cast<int>(v), storage.CharElementName(static_cast<int>(v))); break;
        default: return false;
        }
    }
    return true;
}

} // namespace

void TXcCustomAppStorage::WriteSetMembers(const String& path, const TTypeInfo* setType, const TSetBits& value) {
    const bool known = ForEachMember(*this, setType, [&](int member, const String& name) {
        TypedWriteBool(ChildPath(path, name), value.Contains(member));
    });
    if (!known) throw EXCLAppStorageError(LoadResString(SXcUnknownBaseType));
}

TSetBits TXcCustomAppStorage::ReadSetMembers(const String& path, const TTypeInfo* setType) {
    TSetBits value;
    const bool known = ForEachMember(*this, setType, [&](int member, const String& name) {
        if (TypedReadBool(ChildPath(path, name), false)) value.Include(member);
    });
    if (!known) throw EXCLAppStorageError(LoadResString(SXcUnknownBaseType));
    return value;
}

// ---------------------------------------------------------------------------
// Objects

void TXcCustomAppStorage::WritePropertyValue(const String& path, TPersistent* object, bool recursive,
                                             const String& name) {
    const TPropInfo* prop = object ? GetPropInfo(object, name) : nullptr;
    if (!prop || !prop->HasReader()) return;
    const bool storeDefaults = options_->StoreDefaultValues();
    if (!storeDefaults && !(prop->HasWriter() && prop->IsStored(*object))) return;
    const TTypeInfo* type = prop->PropType();
    switch (prop->Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
        if (!storeDefaults && IsDefaultOrdValue(object, prop)) return;
        if (options_->TypedIntegerAsString())
            WriteEnumValue(path, type, GetOrdProp(object, prop));
        else
            WriteInteger(path, static_cast<int32_t>(GetOrdProp(object, prop)));
        return;
    case tkEnumeration:
        if (!storeDefaults && IsDefaultOrdValue(object, prop)) return;
        return WriteEnumValue(path, type, GetOrdProp(object, prop));
    case tkFloat: {
        const double value = GetFloatProp(object, prop);
        if (!storeDefaults && value == 0) return;
        if (IsDateTimeType(type)) return WriteDateTimeValue(path, value);
        return WriteFloat(path, value);
    }
    case tkString:
    case tkLString:
    case tkUString: {
        const String value = GetStrProp(object, prop);
        if (!storeDefaults && value.empty()) return;
        return WriteString(path, value);
    }
    case tkSet:
        if (!storeDefaults && IsDefaultOrdValue(object, prop)) return;
        return WriteSetValue(path, type, GetSetBits(object, prop));
    case tkClass:
        return WriteObjectProperty(path, object, GetObjectProp(object, prop), recursive);
    case tkVariant: {
        const String text = VarToStr(GetVariantProp(object, prop));
        if (!storeDefaults && text.empty()) return;
        return WriteString(path, text);
    }
    case tkInt64: {
        const int64_t value = GetInt64Prop(object, prop);
        if (!storeDefaults && value == 0) return;
        return WriteString(path, IntToStr(value));
    }
    default:
        return;
    }
}

void TXcCustomAppStorage::ReadPropertyValue(const String& path, TPersistent* object, bool clearFirst, bool recursive,
                                            const String& name) {
    const TPropInfo* prop = object ? GetPropInfo(object, name) : nullptr;
    if (!prop || !prop->HasReader()) return;
    if (prop->Kind() == tkClass) {
        ReadObjectProperty(path, object, GetObjectProp(object, prop), clearFirst, recursive);
        return;
    }
    if (!prop->HasWriter()) return;
    const TTypeInfo* type = prop->PropType();
    switch (prop->Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
        return SetOrdProp(object, prop, ReadEnumValue(path, type, GetOrdProp(object, prop)));
    case tkFloat:
        if (IsDateTimeType(type)) return SetFloatProp(object, prop, ReadDateTimeValue(path, GetFloatProp(object, prop)));
        return SetFloatProp(object, prop, ReadFloat(path, GetFloatProp(object, prop)));
    case tkString:
    case tkLString:
    case tkUString:
        return SetStrProp(object, prop, ReadString(path, GetStrProp(object, prop)));
    case tkSet:
        return SetSetBits(object, prop, ReadSetValue(path, type, GetSetBits(object, prop)));
    case tkVariant: {
        const String current = VarToStr(GetVariantProp(object, prop));
        const String text = ReadString(path, current);
        if (text != current) SetVariantProp(object, prop, Variant(text));
        return;
    }
    case tkInt64: {
        const int64_t current = GetInt64Prop(object, prop);
        const String text = ReadString(path, IntToStr(current));
        return SetInt64Prop(object, prop, DefaultOnConvertError(current, [&] { return StrToInt64(text); }));
    }
    default:
        return;
    }
}

void TXcCustomAppStorage::WriteObjectProperty(const String& path, TPersistent* object, TObject* value, bool recursive) {
    if (!value) return;
    if (recursive)
        if (TXcAppStoragePropertyEngine* engine = PropertyEngines().EngineFor(object, value))
            return engine->WriteProperty(*this, path, object, value, recursive);
    if (auto* list = dynamic_cast<TStrings*>(value)) return WriteStrings(path, *list);
    auto* persistent = dynamic_cast<TPersistent*>(value);
    if (!recursive || !persistent) return;
    if (auto* collection = dynamic_cast<TCollection*>(value)) return WriteCollectionItems(path, *collection);
    WriteObject(path, persistent, {}, recursive);
}

void TXcCustomAppStorage::ReadObjectProperty(const String& path, TPersistent* object, TObject* value, bool clearFirst,
                                             bool recursive) {
    if (!value) return;
    if (recursive)
        if (TXcAppStoragePropertyEngine* engine = PropertyEngines().EngineFor(object, value))
            return engine->ReadProperty(*this, path, object, value, recursive, clearFirst);
    if (auto* list = dynamic_cast<TStrings*>(value)) {
        ReadStrings(path, *list, clearFirst);
        return;
    }
    auto* persistent = dynamic_cast<TPersistent*>(value);
    if (!recursive || !persistent) return;
    if (auto* collection = dynamic_cast<TCollection*>(value)) {
        ReadCollectionItems(path, *collection, clearFirst);
        return;
    }
    ReadObject(path, persistent, {}, clearFirst, recursive);
}

void TXcCustomAppStorage::WriteObject(const String& path, TPersistent* object, const std::vector<String>& ignore,
                                      bool recursive) {
    if (!object || std::ranges::find(objectsInProgress_, object) != objectsInProgress_.end()) return;
    const TObjectInProgress inProgress(objectsInProgress_, object);
    TIntfPtr<IAppStorageHandler> handler;
    const bool handled = Supports(object, handler);
    if (handled) handler->WriteToAppStorage(*this, path);
    if (handled && !Supports(object, IAppStoragePublishedProps::IID)) return;
    for (const TPropInfo* prop : GetPropList(object)) {
        if (Ignored(ignore, prop->Name())) continue;
        WritePropertyValue(JoinPaths({path, TranslatePropertyName(object, prop->Name(), false)}), object, recursive,
                           prop->Name());
    }
}

void TXcCustomAppStorage::ReadObject(const String& path, TPersistent* object, const std::vector<String>& ignore,
                                     bool clearFirst, bool recursive) {
    if (!object || std::ranges::find(objectsInProgress_, object) != objectsInProgress_.end()) return;
    const TObjectInProgress inProgress(objectsInProgress_, object);
    TIntfPtr<IAppStorageHandler> handler;
    const bool handled = Supports(object, handler);
    if (handled) handler->ReadFromAppStorage(*this, path);
    if (handled && !Supports(object, IAppStoragePublishedProps::IID)) return;
    for (const TPropInfo* prop : GetPropList(object)) {
        if (Ignored(ignore, prop->Name())) continue;
        ReadPropertyValue(JoinPaths({path, TranslatePropertyName(object, prop->Name(), true)}), object, clearFirst,
                          recursive, prop->Name());
    }
}
