#include "platform/rtl/ResourceStrings.h"

#include <map>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <utility>

namespace {

struct TResStringState {
    std::shared_mutex mutex;
    std::map<int, const TResStringRec*> byIdentifier;
    // Shared so a load on another thread keeps the hook it started with alive.
    std::shared_ptr<const TResStringHook> hook;
};

TResStringState& State() {
    static TResStringState state;
    return state;
}

String PassThroughHook(TResStringLoader loader, int identifier, const String& text) {
    std::shared_ptr<const TResStringHook> hook;
    {
        std::shared_lock lock(State().mutex);
        hook = State().hook;
    }
    return hook ? (*hook)(loader, identifier, text) : text;
}

String RegisteredText(int identifier) {
    std::shared_lock lock(State().mutex);
    auto it = State().byIdentifier.find(identifier);
    return it == State().byIdentifier.end() ? String() : String(it->second->Default);
}

} // namespace

TResStringHook SetResStringHook(TResStringHook hook) {
    auto next = hook ? std::make_shared<const TResStringHook>(std::move(hook)) : nullptr;
    std::unique_lock lock(State().mutex);
    auto previous = std::exchange(State().hook, std::move(next));
    return previous ? *previous : TResStringHook();
}

void RegisterResStrings(std::span<const TResStringRec* const> records) {
    std::unique_lock lock(State().mutex);
    for (const TResStringRec* rec : records)
        State().byIdentifier[rec->Identifier] = rec;
}

void RegisterResStrings(std::initializer_list<const TResStringRec*> records) {
    RegisterResStrings(std::span(records.begin(), records.size()));
}

void UnregisterResStrings(std::span<const TResStringRec* const> records) {
    std::unique_lock lock(State().mutex);
    for (const TResStringRec* rec : records) {
        auto it = State().byIdentifier.find(rec->Identifier);
        if (it != State().byIdentifier.end() && it->second == rec)
            State().byIdentifier.erase(it);
    }
}

void UnregisterResStrings(std::initializer_list<const TResStringRec*> records) {
    UnregisterResStrings(std::span(records.begin(), records.size()));
}

String LoadResString(const TResStringRec& rec) {
    return PassThroughHook(TResStringLoader::ByRecord, rec.Identifier, String(rec.Default));
}

String LoadStr(int identifier) {
    return PassThroughHook(TResStringLoader::ByIdentifier, identifier, RegisteredText(identifier));
}

String FmtLoadStr(int identifier, std::initializer_list<TVarRec> args) {
    return PassThroughHook(TResStringLoader::FormattedByIdentifier, identifier,
                           Format(RegisteredText(identifier), args));
}
