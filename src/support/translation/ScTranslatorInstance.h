#pragma once
// Translation of texts through GNU message catalogues, one per text domain and
// language: <folder>/<language>/LC_MESSAGES/<domain>.mo, else the same with the
// two-letter language, or the embedded resource "<language>/<domain>.mo" of
// kind "MO". While the unit runs, every resource string passes through the
// domains listed for resource strings ("default" first).

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/rtl/ClassInfo.h"
#include "platform/rtl/String.h"

class TComponent;
class TMoFile;
class TStrings;

class TTranslatorInstance {
public:
    // Language from the environment; domain "default" bound to BaseFolder and
    // selected. The creating thread is the one whose record-based resource
    // strings are translated.
    explicit TTranslatorInstance(const String& baseFolder);
    ~TTranslatorInstance();

    // The catalogue's translation of Text in the current domain, or Text itself.
    // A catalogue that cannot be read raises ETrIOError (once: the domain
    // then stays untranslated); an invalid UTF-8 translation raises ETranslator.
    String Translate(const String& text);
    String TranslateInDomain(const String& domain, const String& text);
    // Creates the domain when missing and sets its folder, closing its catalogue.
    void BindDomainFolder(const String& domain, const String& folder);
    void SelectTextDomain(const String& domain);
    // Code empty: the language of the environment (LanguageFromEnvironment).
    // Every domain closes its catalogue and takes the language.
    void SelectLanguage(const String& code);
    String Language() const;
    // The header entry's field ("Content-Type", ...), trimmed; empty when absent.
    String DomainHeaderField(const String& domain, const String& field);

    std::thread::id CreatorThread() const noexcept { return creator_; }
    // The code page of 8-bit string properties; 0, the system's (UTF-8).
    int CodePage() const noexcept { return codePage_; }
    void SetCodePage(int value) { codePage_ = value; }

    // Component trees (from the GUI thread). TranslateComponent translates the
    // published text properties (String, and std::string in CodePage), string
    // lists, object properties, collection items and owned components of
    // Component once, recording the texts so RetranslateComponent can bring
    // another language later; the per-call rules below are then forgotten. A
    // setter that raises becomes ETrComponentError, and so does an 8-bit text
    // that is no text of CodePage (ETrAnsi2WideConvError, its reason).
    void TranslateComponent(TComponent* component, const String& domain = String());
    void RetranslateComponent(TComponent* component, const String& domain = String());
    // Translates every non-empty line.
    void TranslateStringList(TStrings* list, const String& domain = String());

    using TClassHandler = std::function<void(TObject* object)>;
    // Rules for every call: the property of Cls and its descendants stays
    // untranslated, the whole class does, or Handler is called instead of
    // translating objects of the class. Naming a property of a class that has
    // a handler raises ETrProgrammingError.
    void TP_GlobalIgnoreClassProperty(TClass cls, const String& propertyName);
    void TP_GlobalIgnoreClass(TClass cls);
    void TP_GlobalHandleClass(TClass cls, TClassHandler handler);
    // Rules for the next TranslateComponent only. Path names a property from
    // the component being translated (".Caption", ".Font.Name") or an owned
    // component ("Button1"), ignoring case.
    void TP_Ignore(const String& path);
    void TP_IgnoreClass(TClass cls);
    void TP_IgnoreClassProperty(TClass cls, const String& propertyName);

private:
    struct TClassMode {
        TClass Class;
        std::vector<String> Properties; // empty: the whole class
        TClassHandler Handler;
    };
    static void AddClassRule(std::vector<TClassMode>& rules, TClass cls, const String& propertyName, TClassHandler handler);
    String DomainOrCurrent(const String& domain);
    // A text property's text, 8-bit ones decoded from CodePage, and back.
    String TextProp(TObject* object, const TPropInfo* prop) const;
    void SetTextProp(TObject* object, const TPropInfo* prop, const String& text) const;

    struct TDomain;
    // The domain's catalogue, opened on first use; null when it has none.
    std::shared_ptr<const TMoFile> Catalogue(const String& domain);
    TDomain& DomainLocked(const String& name);

    const std::thread::id creator_;
    mutable std::mutex mutex_;
    String baseFolder_;
    String language_;
    String currentDomain_ = u"default";
    std::map<String, std::unique_ptr<TDomain>> domains_;
    std::vector<TClassMode> globalRules_;
    std::vector<TClassMode> callRules_;
    std::vector<String> ignorePaths_; // lower case
    int codePage_ = 0;
};

// LC_ALL, LC_MESSAGES, then LANG (the first that is set and not empty),
// without anything from its first '.'; "POSIX" and nothing at all give "C".
String LanguageFromEnvironment();

// The translator of the process while the ScTranslator unit runs, else null.
TTranslatorInstance* DefaultTranslator();

// Adds a domain (compared ignoring case) to those resource strings are
// translated in, in order.
void AddResourceStringDomain(const String& name);
std::vector<String> ResourceStringDomains();
// Text translated in the first resource-string domain whose translation
// differs, else Text; Text itself while no default translator exists.
String TranslateResourceString(const String& text);
