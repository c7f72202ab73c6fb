#include "support/translation/ScTranslatorInstance.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <shared_mutex>
#include <vector>

#include "platform/rtl/AppServices.h"
#include "platform/rtl/Collection.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/DynamicLibrary.h"
#include "platform/rtl/Resources.h"
#include "support/translation/ScMoFile.h"
#include "support/translation/ScTranslationErrors.h"
#include "support/translation/ScTranslationText.h"
#include "support/utils/SupportUnit.h"

namespace {

bool SameAscii(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::tolower(uint8_t(x)) == std::tolower(uint8_t(y)); });
}

// The value of Field in a catalogue's header entry, in UTF-8, trimmed.
std::string HeaderField(std::string_view header, std::string_view field) {
    while (!header.empty()) {
        const size_t end = header.find('\n');
        std::string_view line = header.substr(0, end);
        header = end == std::string_view::npos ? std::string_view() : header.substr(end + 1);
        if (line.size() < field.size() + 2 || !SameAscii(line.substr(0, field.size()), field) ||
            line.substr(field.size(), 2) != ": ")
            continue;
        line.remove_prefix(field.size() + 2);
        while (!line.empty() && uint8_t(line.front()) < 33) line.remove_prefix(1);
        while (!line.empty() && uint8_t(line.back()) < 33) line.remove_suffix(1);
        return std::string(line);
    }
    return {};
}

// Catalogues by file name (embedded ones by "MO:" and resource name), each
// read once per process and shared.
class TFileLocator {
public:
    std::shared_ptr<const TMoFile> Open(const String& key, const std::function<TMoFile()>& read) {
        {
            std::shared_lock lock(mutex_);
            if (auto found = files_.find(key); found != files_.end()) return found->second;
        }
        auto file = std::make_shared<const TMoFile>(read());
        std::unique_lock lock(mutex_);
        return files_.try_emplace(key, std::move(file)).first->second;
    }

private:
    std::shared_mutex mutex_;
    std::map<String, std::shared_ptr<const TMoFile>> files_;
};

TFileLocator& FileLocator() {
    static TFileLocator locator;
    return locator;
}

std::atomic<TTranslatorInstance*> Default{nullptr};

std::shared_mutex ResourceDomainsMutex;
std::vector<String> ResourceDomains{u"default"};

} // namespace

struct TTranslatorInstance::TDomain {
    String Folder;
    String Language;
    bool Enabled = true;
    bool Opened = false; // an attempt was made since the last change
    std::shared_ptr<const TMoFile> File;

    void Close() {
        Opened = false;
        File.reset();
    }
};

String LanguageFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value) continue;
        std::string code(value);
        code = code.substr(0, code.find('.'));
        if (code == "POSIX") return u"C";
        return String(code);
    }
    return u"C";
}

TTranslatorInstance::TTranslatorInstance(const String& baseFolder)
    : creator_(std::this_thread::get_id()), baseFolder_(baseFolder) {
    SelectLanguage(String());
    BindDomainFolder(u"default", baseFolder);
    SelectTextDomain(u"default");
    TP_GlobalIgnoreClassProperty(TComponent::StaticClass(), u"Name");
    TP_GlobalIgnoreClassProperty(TCollection::StaticClass(), u"PropName");
}

TTranslatorInstance::~TTranslatorInstance() = default;

TTranslatorInstance::TDomain& TTranslatorInstance::DomainLocked(const String& name) {
    auto& domain = domains_[name];
    if (!domain) {
        domain = std::make_unique<TDomain>();
        domain->Folder = baseFolder_;
        domain->Language = language_;
    }
    return *domain;
}

void TTranslatorInstance::BindDomainFolder(const String& domain, const String& folder) {
    std::lock_guard lock(mutex_);
    TDomain& d = DomainLocked(domain);
    d.Folder = folder;
    d.Close();
}

void TTranslatorInstance::SelectTextDomain(const String& domain) {
    std::lock_guard lock(mutex_);
    currentDomain_ = domain;
}

void TTranslatorInstance::SelectLanguage(const String& code) {
    std::lock_guard lock(mutex_);
    language_ = code.empty() ? LanguageFromEnvironment() : code;
    for (auto& [name, domain] : domains_) {
        domain->Language = language_;
        domain->Close();
    }
}

String TTranslatorInstance::Language() const {
    std::lock_guard lock(mutex_);
    return language_;
}

std::shared_ptr<const TMoFile> TTranslatorInstance::Catalogue(const String& name) {
    String warning;
    std::shared_ptr<const TMoFile> file;
    {
        std::lock_guard lock(mutex_);
        TDomain& domain = DomainLocked(name);
        if (!domain.Enabled || domain.Opened) return domain.File;
        domain.Opened = true;
        const String tail = String(u"/LC_MESSAGES/") + name + u".mo";
        for (const String& language : {domain.Language, domain.Language.substr(0, 2)}) {
            const String fileName = domain.Folder + u"/" + language + tail;
            const String resourceName = language + u"/" + name + u".mo";
            String source = fileName;
            if (const TResourceEntry* embedded = FindResource(resourceName, u"MO")) {
                source = resourceName;
                domain.File = FileLocator().Open(String(u"MO:") + resourceName, [&] {
                    return TMoFile(std::vector<uint8_t>(embedded->Begin, embedded->End), resourceName);
                });
            } else if (std::error_code error; std::filesystem::is_regular_file(fileName.ToUtf8(), error)) {
                domain.File = FileLocator().Open(fileName, [&] { return TMoFile::FromFile(fileName); });
            } else {
                continue;
            }
            std::string contentType = HeaderField(domain.File->Lookup("").value_or(""), "Content-Type");
            std::transform(contentType.begin(), contentType.end(), contentType.begin(),
                           [](char c) { return char(std::toupper(uint8_t(c))); });
            if (contentType.find("CHARSET=UTF-8") == std::string::npos) {
                domain.File.reset();
                domain.Enabled = false;
                warning = String(u"The translation for the language code ") + domain.Language + u" (in " + source +
                          u") does not have charset=utf-8 in its Content-Type. Translations are turned off.";
            }
            break;
        }
        file = domain.File;
    }
    if (!warning.empty()) AppServices().MessageBox(warning, u"Localization problem", kMessageBoxOk);
    return file;
}

String TTranslatorInstance::DomainOrCurrent(const String& domain) {
    if (!domain.empty()) return domain;
    std::lock_guard lock(mutex_);
    return currentDomain_;
}

String TTranslatorInstance::Translate(const String& text) { return TranslateInDomain(DomainOrCurrent(String()), text); }

String TTranslatorInstance::TranslateInDomain(const String& domain, const String& text) {
    const std::shared_ptr<const TMoFile> file = Catalogue(domain);
    if (!file) return text;
    const std::optional<std::string_view> translation = file->Lookup(TranslationKey(text));
    return translation ? TranslationText(*translation) : text;
}

String TTranslatorInstance::DomainHeaderField(const String& domain, const String& field) {
    const std::shared_ptr<const TMoFile> file = Catalogue(domain);
    if (!file) return String();
    return TranslationText(HeaderField(file->Lookup("").value_or(""), field.ToUtf8()));
}

TTranslatorInstance* DefaultTranslator() { return Default.load(); }

void AddResourceStringDomain(const String& name) {
    std::unique_lock lock(ResourceDomainsMutex);
    const std::string key = name.ToUtf8();
    for (const String& present : ResourceDomains)
        if (SameAscii(present.ToUtf8(), key)) return;
    ResourceDomains.push_back(name);
}

std::vector<String> ResourceStringDomains() {
    std::shared_lock lock(ResourceDomainsMutex);
    return ResourceDomains;
}

String TranslateResourceString(const String& text) {
    TTranslatorInstance* translator = DefaultTranslator();
    if (text.empty() || !translator) return text;
    std::shared_lock lock(ResourceDomainsMutex);
    for (const String& domain : ResourceDomains) {
        String translation = translator->TranslateInDomain(domain, text);
        if (translation != text) return translation;
    }
    return text;
}

namespace {

// A translation failure never reaches the code that loads a resource string:
// the text stays as it is and the application's exception handler hears of it.
String TranslateLoadedString(const String& text) {
    try {
        return TranslateResourceString(text);
    } catch (const std::exception& error) {
        AppServices().HandleException(error);
        return text;
    }
}

std::unique_ptr<TTranslatorInstance> Instance;
TResStringHook PreviousHook;

void StartTranslation() {
    {
        std::unique_lock lock(ResourceDomainsMutex);
        ResourceDomains.assign({u"default"});
    }
    Instance = std::make_unique<TTranslatorInstance>(ProgramFolder() + u"/locale");
    Default.store(Instance.get());
    PreviousHook = SetResStringHook([](TResStringLoader loader, int, const String& text) {
        TTranslatorInstance* translator = DefaultTranslator();
        if (loader == TResStringLoader::ByRecord && (!translator || std::this_thread::get_id() != translator->CreatorThread()))
            return text;
        return TranslateLoadedString(text);
    });
}

void FinishTranslation() {
    SetResStringHook(std::move(PreviousHook));
    Default.store(nullptr);
    Instance.reset();
}

} // namespace

extern const TSupportUnit ScTranslatorUnit{u"ScTranslator",
                                           SC_UNIT_VERSION("src/support/translation/ScTranslatorInstance.cpp"), {},
                                           StartTranslation, FinishTranslation};
