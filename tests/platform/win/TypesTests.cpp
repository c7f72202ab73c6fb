#include <gtest/gtest.h>

#include "platform/win/Constants.h"

TEST(MessageParametersTest, PointsLeftOfAndAboveTheWindowStayNegative) {
    const LPARAM packed = MAKELPARAM(WORD(-5), WORD(-32768));
    EXPECT_EQ(GET_X_LPARAM(packed), -5);
    EXPECT_EQ(GET_Y_LPARAM(packed), -32768);
    const LPARAM positive = MAKELPARAM(32767, 7);
    EXPECT_EQ(GET_X_LPARAM(positive), 32767);
    EXPECT_EQ(GET_Y_LPARAM(positive), 7);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(MAKEWPARAM(MK_CONTROL, WORD(-2 * WHEEL_DELTA))), -240);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(MAKEWPARAM(MK_CONTROL, WORD(-2 * WHEEL_DELTA))), MK_CONTROL);
}

TEST(HandleTest, IndexAndGenerationRoundTripAndNeverMeetSpecialValues) {
    for (const uint32_t index : {0u, 1u, 0xFFFFFFFFu}) {
        for (const uint32_t generation : {1u, 2u, kMaxHandleGeneration}) {
            const HWND hwnd = MakeHandle<HWND>(index, generation);
            EXPECT_EQ(HandleIndex(hwnd), index);
            EXPECT_EQ(HandleGeneration(hwnd), generation);
            for (const HWND special : {HWND_TOP, HWND_BOTTOM, HWND_TOPMOST, HWND_NOTOPMOST,
                                       HWND_MESSAGE, HWND_BROADCAST}) {
                EXPECT_NE(hwnd, special);
            }
        }
    }
    EXPECT_NE(MakeHandle<HWND>(3, 1), MakeHandle<HWND>(3, 2));
    for (const HWND notEncoded : {HWND_TOP, HWND_BOTTOM, HWND_TOPMOST, HWND_MESSAGE}) {
        EXPECT_EQ(HandleGeneration(notEncoded), 0u);
    }
}

TEST(ResourceIdTest, NumbersAreToldApartFromNames) {
    EXPECT_TRUE(IS_INTRESOURCE(IDC_ARROW));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(IDC_ARROW), 32512u);
    EXPECT_FALSE(IS_INTRESOURCE(u"VTPanningWindow"));
}
