#include "support/utils/ScBase.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <fcntl.h>

#include "support/utils/ScLogic.h"
#include "support/utils/ScSecurity.h"

namespace {

constexpr TResStringRec SOpenFailed{0xFE01, u"Failed to open the test file"};

SC_DECLARE_WIN32_ERROR(ETestOpenError);

TEST(ScWin32Error, CarriesTheFailingCallsCodeAndItsTextBeforeTheResourceText) {
    ASSERT_EQ(open("/nonexistent/ostrel-missing-file", O_RDONLY), -1);
    const ETestOpenError error = ETestOpenError::CreateRes(SOpenFailed);
    EXPECT_EQ(error.LastError(), 2u);
    EXPECT_EQ(error.LastErrorMsg(), SysErrorMessage(ENOENT));
    EXPECT_EQ(error.Message(),
              String(u"Win32 error: ") + SysErrorMessage(ENOENT) + u" (2)\r\nFailed to open the test file");
    const EScError& base = error;
    EXPECT_STREQ(base.what(), error.Message().ToUtf8().c_str());
}

TEST(BindProcedure, ResolvesOnceAndNamesWhatIsMissing) {
    using TCos = double(double);
    TCos* cosine = nullptr;
    try {
        BindProcedure(cosine, u"libostrel-no-such-library.so", u"cos");
        FAIL() << "bound a missing library";
    } catch (const EScError& e) {
        EXPECT_EQ(e.Message(), u"Library not found: libostrel-no-such-library.so");
    }
    try {
        BindProcedure(cosine, u"libm.so.6", u"ostrel_no_such_function");
        FAIL() << "bound a missing function";
    } catch (const EScError& e) {
        EXPECT_EQ(e.Message(), u"Function not found: libm.so.6.ostrel_no_such_function");
    }
    EXPECT_EQ(cosine, nullptr);

    BindProcedure(cosine, u"libm.so.6", u"cos");
    ASSERT_NE(cosine, nullptr);
    EXPECT_EQ(cosine(0.0), 1.0);
    // Once bound, nothing is looked up again.
    TCos* const bound = cosine;
    EXPECT_NO_THROW(BindProcedure(cosine, u"libostrel-no-such-library.so", u"sin"));
    EXPECT_EQ(cosine, bound);
}

TEST(MoveChars, CopiesOnlyWhatFitsBothStrings) {
    struct TCase {
        int from, to, count;
        const char16_t* result; // nullptr: ERangeError
    };
    const TCase cases[] = {
        {1, 1, 3, u"abcyz"},  {4, 2, 2, u"vdeyz"},  {5, 5, 1, u"vwxye"}, {2, 3, 0, u"vwxyz"},
        {1, 3, 4, nullptr},   // runs past the end of Dest
        {3, 1, 4, nullptr},   // runs past the end of Source
        {0, 1, 1, nullptr},   {6, 1, 0, nullptr}, {1, 0, 1, nullptr}, {1, 6, 0, nullptr},
        {1, 1, -1, nullptr},  {2, 2, 0x7FFFFFFF, nullptr},
    };
    for (const TCase& c : cases) {
        String dest = u"vwxyz";
        if (c.result) {
            MoveChars(u"abcde", c.from, dest, c.to, c.count);
            EXPECT_EQ(dest, c.result) << c.from << ' ' << c.to << ' ' << c.count;
        } else {
            EXPECT_THROW(MoveChars(u"abcde", c.from, dest, c.to, c.count), ERangeError) << c.from << ' ' << c.to << ' ' << c.count;
            EXPECT_EQ(dest, u"vwxyz");
        }
    }
}

TEST(MoveChars, OverlappingWithinOneString) {
    String s = u"abcdef";
    MoveChars(s, 1, s, 3, 4);
    EXPECT_EQ(s, u"ababcd");
}

TEST(BitArrays, BitNIsBitNMod32OfWordNDiv32) {
    std::array<uint32_t, 2> bits{};
    SetBitOf(bits, 33);
    SetBitOf(bits, 0);
    EXPECT_EQ(bits[0], 1u);
    EXPECT_EQ(bits[1], 2u);
    EXPECT_TRUE(TestBitOf(bits, 33));
    EXPECT_FALSE(TestBitOf(bits, 32));
    EXPECT_THROW(SetBitOf(bits, 64), ERangeError);
    EXPECT_THROW(TestBitOf(bits, -1), ERangeError);
}

TEST(EnablePrivilege, OnlyTheShutdownPrivilegeIsHeld) {
    EXPECT_TRUE(EnablePrivilege(true, u"SeShutdownPrivilege"));
    EXPECT_TRUE(EnablePrivilege(false, u"SeShutdownPrivilege"));
    EXPECT_FALSE(EnablePrivilege(true, u"SeDebugPrivilege"));
    EXPECT_FALSE(EnablePrivilege(true, u""));
}

} // namespace
