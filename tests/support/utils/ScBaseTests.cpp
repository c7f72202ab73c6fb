#include "support/utils/ScBase.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>

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

} // namespace
