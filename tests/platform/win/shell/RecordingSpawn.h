#pragma once
// Records the programs Spawn is asked to start, starting none, while the
// object lives.

#include <vector>

#include "platform/rtl/Spawn.h"

class TRecordingSpawn {
public:
    struct TStart {
        String Program;
        std::vector<String> Arguments;
        String Folder;
        bool operator==(const TStart&) const = default;
    };

    TRecordingSpawn()
        : scope_([this](const String& program, const std::vector<String>& arguments, const String& folder) {
              Starts.push_back({program, arguments, folder});
              return Answer;
          }) {}

    std::vector<TStart> Starts;
    bool Answer = true;

private:
    TSpawnHookScope scope_;
};
