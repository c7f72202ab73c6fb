#pragma once
// Gives a test a data folder of its own, so it starts from empty registry hives.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "FreshTestFolder.h"

class TRegistryHome {
public:
    TRegistryHome() {
        old_ = std::getenv("OSTREL_HOME");
        folder_ = FreshTestFolder("registry-tests");
        setenv("OSTREL_HOME", folder_.c_str(), 1);
    }
    ~TRegistryHome() { setenv("OSTREL_HOME", old_.c_str(), 1); }
    TRegistryHome(const TRegistryHome&) = delete;
    TRegistryHome& operator=(const TRegistryHome&) = delete;

    std::filesystem::path Hive(const char* rootName) const { return folder_ / "Registry" / (std::string(rootName) + ".hive"); }
    static std::string ReadFile(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::filesystem::path folder_;
    std::string old_;
};
