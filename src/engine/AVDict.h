#pragma once
// An owned FFmpeg dictionary (option sets, metadata).

#include <string>
#include <utility>

#include "engine/AVLib.h"

class TAVDict {
public:
    TAVDict() = default;
    ~TAVDict() { Clear(); }
    TAVDict(TAVDict&& other) noexcept : dict_(std::exchange(other.dict_, nullptr)) {}
    TAVDict& operator=(TAVDict&& other) noexcept {
        if (this != &other) {
            Clear();
            dict_ = std::exchange(other.dict_, nullptr);
        }
        return *this;
    }
    TAVDict(const TAVDict&) = delete;
    TAVDict& operator=(const TAVDict&) = delete;

    AVDictionary* Get() const noexcept { return dict_; }
    // For FFmpeg calls that consume entries and leave the rest in place.
    AVDictionary** Address() noexcept { return &dict_; }
    // Hands the dictionary over to the caller.
    AVDictionary* Release() noexcept { return std::exchange(dict_, nullptr); }

    // Raises EOutOfMemory when FFmpeg cannot store the entry.
    void Set(const std::string& key, const std::string& value, int flags = 0);
    // Null when there is no such key (exact case).
    const char* Find(const std::string& key) const;
    int Count() const;
    TAVDict Copy() const;
    void Clear() noexcept;

private:
    AVDictionary* dict_ = nullptr;
};
