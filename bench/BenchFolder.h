#pragma once
// A new empty folder under the temporary folder for a benchmark's files.

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

// Empty (after saying why) when it cannot be made.
inline std::filesystem::path NewBenchFolder(const char* prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return {};
    }
    return pattern;
}
