// Entry point of every test program: each run gets a fresh program data folder
// (OSTREL_HOME) so no test touches the user's own data, and the units the
// program registers at start-up; tests start them with InitializeUnits. A test
// that skips fails the program unless tests/ExpectedSkips.txt expects it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "SkipCheck.h"
#include "support/utils/SupportUnits.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    auto* skips = new TSkipCheck(OSTREL_EXPECTED_SKIPS);
    testing::UnitTest::GetInstance()->listeners().Append(skips); // owned by the listener list
    std::string tmpl = (std::filesystem::temp_directory_path() / "ostrel-test-XXXXXX").string();
    const char* home = mkdtemp(tmpl.data());
    if (home) setenv("OSTREL_HOME", home, 1);
    RegisterSupportUnits();
    int rc = RUN_ALL_TESTS();
    if (!skips->Passed() && rc == 0) rc = 1;
    if (home) {
        std::error_code ec;
        std::filesystem::remove_all(home, ec);
    }
    return rc;
}
