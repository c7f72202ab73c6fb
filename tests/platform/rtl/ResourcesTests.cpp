#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/rtl/Resources.h"

namespace {

std::vector<uint8_t> FileBytes(const char* relative) {
    std::ifstream in(std::string(OSTREL_TEST_RESOURCES) + "/" + relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> StreamBytes(TStream& stream) {
    std::vector<uint8_t> bytes(static_cast<size_t>(stream.Size()));
    stream.ReadBuffer(bytes.data(), stream.Size());
    return bytes;
}

TEST(ResourcesTest, EmbeddedFilesReadBackByteForByte) {
    const auto expected = FileBytes("RCDATA/SAMPLE");
    ASSERT_GT(expected.size(), 512u);
    TResourceStream sample("sample", RT_RCDATA); // names and kinds ignore case
    EXPECT_EQ(StreamBytes(sample), expected);

    TResourceStream greeting("GREETING", "text");
    EXPECT_EQ(StreamBytes(greeting), FileBytes("TEXT/GREETING"));
    greeting.SetPosition(0);
    std::vector<uint8_t> head(2);
    EXPECT_EQ(greeting.Read(head.data(), 2), 2);
    EXPECT_EQ(greeting.Position(), 2);
}

// Looked up while the program's static objects are built, as a skin or
// translation table might.
const bool foundAtStartUp = FindResource("GREETING", "TEXT") != nullptr;

TEST(ResourcesTest, ResourcesAreThereBeforeOtherStaticObjects) { EXPECT_TRUE(foundAtStartUp); }

TEST(ResourcesTest, MissingResourcesAndWritesRaise) {
    EXPECT_EQ(FindResource("SAMPLE", "TEXT"), nullptr);
    try {
        TResourceStream missing("NOPE", RT_RCDATA);
        ADD_FAILURE();
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource NOPE not found");
    }
    TResourceStream sample("SAMPLE", RT_RCDATA);
    const uint8_t byte = 1;
    try {
        sample.Write(&byte, 1);
        ADD_FAILURE();
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), "Can't write to a read-only resource stream");
    }
    EXPECT_THROW(sample.SetSize(1), EStreamError);
}

} // namespace
