#include "platform/rtl/AppServices.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/TObject.h"

namespace {

TEST(AppServices, HeadlessDefaults) {
    IAppServices& services = AppServices();
    testing::internal::CaptureStderr();
    EXPECT_EQ(services.MessageBox(u"Disk full", u"Error", 0x10), 1);
    services.HandleException(EConvertError("bad number"));
    services.HandleException(EAbort("quiet"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Disk full\nbad number\n");
    EXPECT_EQ(services.PrimaryScreenSize(), (TDisplaySize{0, 0}));
    EXPECT_EQ(services.DesktopSize(), (TDisplaySize{0, 0}));
    EXPECT_EQ(services.PixelsPerInch(), 96);
    EXPECT_EQ(services.ScreenCursor(), crDefault);
    services.SetScreenCursor(crSQLWait);
    EXPECT_EQ(services.ScreenCursor(), crSQLWait);
    services.SetScreenCursor(crDefault);
    services.RepaintControl(nullptr);
}

class TFakeServices final : public IAppServices {
public:
    int MessageBox(const String& text, const String& caption, uint32_t flags) override {
        calls.push_back(caption + u":" + text + u":" + String(std::to_string(flags)));
        return 7;
    }
    void HandleException(const std::exception& error) override { calls.push_back(String(error.what())); }
    TDisplaySize PrimaryScreenSize() override { return {1920, 1080}; }
    TDisplaySize DesktopSize() override { return {3840, 1080}; }
    int PixelsPerInch() override { return 120; }
    TCursor ScreenCursor() override { return cursor; }
    void SetScreenCursor(TCursor value) override { cursor = value; }
    void RepaintControl(TObject* control) override { repainted = control; }

    std::vector<String> calls;
    TCursor cursor = crDefault;
    TObject* repainted = nullptr;
};

TEST(AppServices, AScopedFakeGetsTheCallsUntilItsScopeEnds) {
    TFakeServices fake;
    TObject control;
    {
        TAppServicesScope scope(fake);
        EXPECT_EQ(AppServices().MessageBox(u"Delete?", u"Warning", 4), 7);
        AppServices().HandleException(EAbort("stop"));
        EXPECT_EQ(AppServices().PrimaryScreenSize(), (TDisplaySize{1920, 1080}));
        EXPECT_EQ(AppServices().DesktopSize(), (TDisplaySize{3840, 1080}));
        EXPECT_EQ(AppServices().PixelsPerInch(), 120);
        AppServices().SetScreenCursor(crSQLWait);
        AppServices().RepaintControl(&control);
    }
    EXPECT_EQ(fake.calls, (std::vector<String>{u"Warning:Delete?:4", u"stop"}));
    EXPECT_EQ(fake.cursor, crSQLWait);
    EXPECT_EQ(fake.repainted, &control);
    EXPECT_EQ(AppServices().PixelsPerInch(), 96);
    EXPECT_EQ(AppServices().ScreenCursor(), crDefault);
}

} // namespace
