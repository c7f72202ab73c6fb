// The component-tree part of TTranslatorInstance.
#include <algorithm>
#include <set>

#include "platform/rtl/AppServices.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Properties.h"
#include "platform/rtl/StringList.h"
#include "support/translation/ScTranslationErrors.h"
#include "support/translation/ScTranslatorInstance.h"

namespace {

const String MarkerName = u"TranslatorMarker";

bool HasName(const std::vector<String>& names, const String& name) {
    return std::any_of(names.begin(), names.end(), [&](const String& n) { return SameText(n, name); });
}

// Marks a translated tree with its language and keeps what the texts were.
class TTranslatorComponentMarker : public TComponent {
public:
    struct TItem {
        TObject* Object;
        String PropertyName;
        String Original;
    };
    explicit TTranslatorComponentMarker(TComponent* owner) : TComponent(owner) {}
    String Language;
    std::vector<TItem> Items;
};

TTranslatorComponentMarker* MarkerOf(TComponent* component) {
    return dynamic_cast<TTranslatorComponentMarker*>(component->FindComponent(MarkerName));
}

} // namespace

void TTranslatorInstance::AddClassRule(std::vector<TClassMode>& rules, TClass cls, const String& propertyName,
                                       TClassHandler handler) {
    for (auto rule = rules.begin(); rule != rules.end(); ++rule) {
        if (rule->Class == cls) {
            if (rule->Handler)
                throw ETrProgrammingError("You cannot ignore a class property for a class that has a handler set.");
            if (handler) rule->Handler = std::move(handler);
            if (propertyName.empty()) rule->Properties.clear();
            else if (!HasName(rule->Properties, propertyName)) rule->Properties.push_back(propertyName);
            return;
        }
        if (cls->InheritsFrom(rule->Class)) {
            rules.insert(rule, TClassMode{cls, propertyName.empty() ? std::vector<String>{} : std::vector<String>{propertyName},
                                          std::move(handler)});
            return;
        }
    }
    rules.push_back(TClassMode{cls, propertyName.empty() ? std::vector<String>{} : std::vector<String>{propertyName},
                               std::move(handler)});
}

void TTranslatorInstance::TP_GlobalIgnoreClassProperty(TClass cls, const String& propertyName) {
    AddClassRule(globalRules_, cls, propertyName, nullptr);
}
void TTranslatorInstance::TP_GlobalIgnoreClass(TClass cls) { AddClassRule(globalRules_, cls, String(), nullptr); }
void TTranslatorInstance::TP_GlobalHandleClass(TClass cls, TClassHandler handler) {
    AddClassRule(globalRules_, cls, String(), std::move(handler));
}
void TTranslatorInstance::TP_Ignore(const String& path) { ignorePaths_.push_back(LowerCase(path)); }
void TTranslatorInstance::TP_IgnoreClass(TClass cls) { AddClassRule(callRules_, cls, String(), nullptr); }
void TTranslatorInstance::TP_IgnoreClassProperty(TClass cls, const String& propertyName) {
    AddClassRule(callRules_, cls, propertyName, nullptr);
}

String TTranslatorInstance::TextProp(TObject* object, const TPropInfo* prop) const {
    if (prop->Kind() != tkLString) return GetStrProp(object, prop);
    const std::string bytes = GetAnsiStrProp(object, prop);
    const String text = DecodeCodePage(bytes, codePage_);
    // A byte sequence that is no text of the code page does not come back.
    if (EncodeCodePage(text, codePage_) != bytes)
        throw ETrAnsi2WideConvError(String(u"Cannot convert AnsiString to UnicodeString:\r\n") + text);
    return text;
}

void TTranslatorInstance::SetTextProp(TObject* object, const TPropInfo* prop, const String& text) const {
    if (prop->Kind() == tkLString) SetAnsiStrProp(object, prop, EncodeCodePage(text, codePage_));
    else SetStrProp(object, prop, text);
}

void TTranslatorInstance::TranslateStringList(TStrings* list, const String& domain) {
    const String inDomain = DomainOrCurrent(domain);
    list->BeginUpdate();
    try {
        const String className = list->ClassName();
        if (list->ClassType() == TStringList::StaticClass() || className == u"TMemoStrings" ||
            className == u"TComboBoxStrings" || className == u"TListBoxStrings") {
            TStringList lines;
            lines.Assign(*list);
            for (int i = 0; i < lines.Count(); ++i)
                if (!lines.Strings(i).empty()) lines.SetStrings(i, TranslateInDomain(inDomain, lines.Strings(i)));
            list->Assign(lines);
        } else {
            for (int i = 0; i < list->Count(); ++i)
                if (!list->Strings(i).empty()) list->SetStrings(i, TranslateInDomain(inDomain, list->Strings(i)));
        }
    } catch (...) {
        list->EndUpdate();
        throw;
    }
    list->EndUpdate();
}

void TTranslatorInstance::TranslateComponent(TComponent* component, const String& domain) {
    const String inDomain = DomainOrCurrent(domain);
    const String language = Language();
    if (TTranslatorComponentMarker* marker = MarkerOf(component)) {
        if (marker->Language != language)
            AppServices().MessageBox(
                u"This application tried to switch the language, but in an incorrect way. The programmer needs to replace "
                u"a call to TranslateComponent with a call to RetranslateComponent(). The programmer should see the "
                u"changelog of translator for more information.",
                u"Error", kMessageBoxOk);
        marker->Language = language;
        return;
    }

    std::vector<TTranslatorComponentMarker::TItem> recorded;
    struct TWork {
        TObject* Object;
        String Path;
    };
    std::vector<TWork> work{{component, String()}};
    std::set<TObject*> handled;
    auto finish = [&] {
        callRules_.clear();
        ignorePaths_.clear();
    };
    try {
        for (size_t next = 0; next < work.size(); ++next) {
            TObject* object = work[next].Object;
            const String path = work[next].Path;
            if (!dynamic_cast<TPersistent*>(object) || !handled.insert(object).second) continue;

            const TClassMode* whole = nullptr;
            std::vector<String> ignored;
            for (const auto* rules : {&callRules_, &globalRules_})
                for (const TClassMode& rule : *rules) {
                    if (!object->InheritsFrom(rule.Class)) continue;
                    if (rule.Properties.empty() && !whole) whole = &rule;
                    ignored.insert(ignored.end(), rule.Properties.begin(), rule.Properties.end());
                }
            if (whole) {
                if (whole->Handler) whole->Handler(object);
                continue;
            }

            for (const TPropInfo* prop : GetPropList(object)) {
                const String entry = path + u"." + prop->Name();
                if (HasName(ignorePaths_, LowerCase(entry)) || HasName(ignored, prop->Name())) continue;
                try {
                    if (tkStrings.Contains(prop->Kind())) {
                        if (!prop->HasReader() || !prop->HasWriter()) continue;
                        const String text = TextProp(object, prop);
                        if (text.empty()) continue;
                        recorded.push_back({object, prop->Name(), text});
                        const String translation = TranslateInDomain(inDomain, text);
                        if (translation != text) SetTextProp(object, prop, translation);
                    } else if (prop->Kind() == tkClass && prop->HasReader()) {
                        if (TObject* child = GetObjectProp(object, prop)) work.push_back({child, entry});
                    }
                } catch (const std::exception& error) {
                    const auto* exception = dynamic_cast<const Exception*>(&error);
                    throw ETrComponentError(String(u"Property cannot be translated.\r\nAdd TP_GlobalIgnoreClassProperty(") +
                                            object->ClassName() + u", '" + prop->Name() +
                                            u"') to your source code or use\r\nTP_Ignore (self, '." + prop->Name() +
                                            u"') to prevent this message.\r\nReason: " +
                                            (exception ? exception->Message() : String(error.what())));
                }
            }

            if (auto* list = dynamic_cast<TStrings*>(object); list && list->Count() > 0) {
                recorded.push_back({object, u"Text", list->Text()});
                TranslateStringList(list, inDomain);
            } else if (auto* collection = dynamic_cast<TCollection*>(object)) {
                for (int i = 0; i < collection->Count(); ++i) work.push_back({collection->Items(i), path});
            } else if (auto* owner = dynamic_cast<TComponent*>(object)) {
                for (int i = 0; i < owner->ComponentCount(); ++i) {
                    TComponent* owned = owner->Components(i);
                    if (!HasName(ignorePaths_, LowerCase(owned->Name()))) work.push_back({owned, owned->Name()});
                }
            }
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    auto* marker = new TTranslatorComponentMarker(component);
    marker->SetName(MarkerName);
    marker->Language = language;
    marker->Items = std::move(recorded);
}

void TTranslatorInstance::RetranslateComponent(TComponent* component, const String& domain) {
    TTranslatorComponentMarker* marker = MarkerOf(component);
    if (!marker) return TranslateComponent(component, domain);
    const String inDomain = DomainOrCurrent(domain);
    for (const auto& item : marker->Items) {
        if (auto* list = dynamic_cast<TStrings*>(item.Object); list && item.PropertyName == u"Text") {
            list->SetText(item.Original);
            TranslateStringList(list, inDomain);
        } else {
            SetTextProp(item.Object, GetPropInfo(item.Object, item.PropertyName),
                        TranslateInDomain(inDomain, item.Original));
        }
    }
    marker->Language = Language();
}
