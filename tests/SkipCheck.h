#pragma once
// A skipped test passes in CTest's count, so a missing package or tool would
// hide whole groups of tests. The skip check notes every skipped test and,
// after the run, fails the program on each one the list of expected skips
// (tests/ExpectedSkips.txt) does not name.

#include <gtest/gtest.h>

#include <string>
#include <vector>

class TSkipCheck : public testing::EmptyTestEventListener {
public:
    explicit TSkipCheck(std::string listFile) : listFile_(std::move(listFile)) {}
    void OnTestEnd(const testing::TestInfo& test) override;
    // Prints the unexpected skips; true when there are none.
    bool Passed() const;

private:
    std::string listFile_;
    std::vector<std::string> skipped_;
};
