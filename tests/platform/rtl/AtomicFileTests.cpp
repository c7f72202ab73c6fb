#include "platform/rtl/AtomicFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/rtl/Exceptions.h"

namespace {

namespace fs = std::filesystem;

TEST(AtomicFile, FailuresNameTheStepAndLeaveNoTrace) {
    const fs::path folder = fs::path(std::getenv("OSTREL_HOME")) / "atomic-file";
    fs::remove_all(folder);
    fs::create_directories(folder / "dir" / "inside");
    const String missing((folder / "missing" / "f").string());
    const String dir((folder / "dir").string());

    try {
        WriteFileAtomically(missing, "x");
        ADD_FAILURE() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + missing + "\". No such file or directory");
    }
    try {
        WriteFileAtomically(dir, "x");
        ADD_FAILURE() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.Message(), "Cannot write file \"" + dir + "\". Is a directory");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1);

    const String file((folder / "f").string());
    WriteFileAtomically(file, "old");
    WriteFileAtomically(file, std::string_view("n\0w", 3));
    std::ifstream in(file.ToUtf8(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), std::string("n\0w", 3));
    fs::remove_all(folder);
}

} // namespace
