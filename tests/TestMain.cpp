// Entry point of every test program: each run gets a fresh program data folder
// (OSTREL_HOME) so no test touches the user's own data, and the units the
// program registers at start-up; tests start them with InitializeUnits.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/utils/SupportUnits.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::string tmpl = (std::filesystem::temp_directory_path() / "ostrel-test-XXXXXX").string();
    const char* home = mkdtemp(tmpl.data());
    if (home) setenv("OSTREL_HOME", home, 1);
    RegisterSupportUnits();
    const int rc = RUN_ALL_TESTS();
    if (home) {
        std::error_code ec;
        std::filesystem::remove_all(home, ec);
    }
    return rc;
}
