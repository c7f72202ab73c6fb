#pragma once
// Translation of texts through GNU message catalogues, one per text domain and
// language: <folder>/<language>/LC_MESSAGES/<domain>.mo, else the same with the
// two-letter language, or the embedded resource "<language>/<domain>.mo" of
// kind "MO". While the unit runs, every resource string passes through the
// domains listed for resource strings ("default" first).

#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/rtl/String.h"

class TMoFile;

class TTranslator {
public:
    // Language from the environment; domain "default" bound to BaseFolder and
    // selected. The creating thread is the one whose record-based resource
    // strings are translated.
    explicit TTranslator(const String& baseFolder);
    ~TTranslator();

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

private:
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
};

// LC_ALL, LC_MESSAGES, then LANG (the first that is set and not empty),
// without anything from its first '.'; "POSIX" and nothing at all give "C".
String LanguageFromEnvironment();

// The translator of the process while the ScTranslator unit runs, else null.
TTranslator* DefaultTranslator();

// Adds a domain (compared ignoring case) to those resource strings are
// translated in, in order.
void AddResourceStringDomain(const String& name);
std::vector<String> ResourceStringDomains();
// Text translated in the first resource-string domain whose translation
// differs, else Text; Text itself while no default translator exists.
String TranslateResourceString(const String& text);
