#pragma once
// An empty folder of the running test's own below the test data folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

// <OSTREL_HOME>/<group>/<test name>, emptied and created.
inline std::filesystem::path FreshTestFolder(const std::filesystem::path& group = {}) {
    const std::filesystem::path folder = std::filesystem::path(std::getenv("OSTREL_HOME")) / group /
                                         testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}
