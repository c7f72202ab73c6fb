#include "SkipCheck.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

// The test names of the list: the first word of each line that is neither
// empty nor a comment; the rest of the line says why the test may skip.
std::vector<std::string> ExpectedSkips(const std::string& file, bool& readable) {
    std::vector<std::string> names;
    std::ifstream in(file);
    readable = bool(in);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string name;
        if (words >> name && name[0] != '#') names.push_back(name);
    }
    return names;
}

} // namespace

void TSkipCheck::OnTestEnd(const testing::TestInfo& test) {
    if (test.result()->Skipped()) skipped_.push_back(std::string(test.test_suite_name()) + "." + test.name());
}

bool TSkipCheck::Passed() const {
    if (skipped_.empty()) return true;
    bool readable = false;
    const std::vector<std::string> expected = ExpectedSkips(listFile_, readable);
    if (!readable) std::cerr << "Cannot read the list of expected skips " << listFile_ << "\n";
    bool passed = true;
    for (const std::string& name : skipped_) {
        if (std::find(expected.begin(), expected.end(), name) != expected.end()) continue;
        std::cerr << "Unexpected skip: " << name << " (not listed in " << listFile_ << ")\n";
        passed = false;
    }
    return passed;
}
