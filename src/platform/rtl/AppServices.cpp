#include "platform/rtl/AppServices.h"

#include <atomic>
#include <cstdio>

#include "platform/rtl/Exceptions.h"

namespace {

class THeadlessServices final : public IAppServices {
public:
    int MessageBox(const String& text, const String& caption, uint32_t) override {
        std::fprintf(stderr, "%s: %s\n", caption.ToUtf8().c_str(), text.ToUtf8().c_str());
        return 1; // IDOK
    }
    void HandleException(const std::exception& error) override {
        if (dynamic_cast<const EAbort*>(&error)) return;
        std::fprintf(stderr, "%s\n", error.what());
    }
    TDisplaySize PrimaryScreenSize() override { return {}; }
    TDisplaySize DesktopSize() override { return {}; }
    int PixelsPerInch() override { return 96; }
    TCursor ScreenCursor() override { return cursor_.load(); }
    void SetScreenCursor(TCursor cursor) override { cursor_.store(cursor); }
    void RepaintControl(TObject*) override {}

private:
    std::atomic<TCursor> cursor_{crDefault};
};

THeadlessServices& Headless() {
    static THeadlessServices services;
    return services;
}

std::atomic<IAppServices*> registered{nullptr};

} // namespace

IAppServices& AppServices() {
    IAppServices* services = registered.load();
    return services ? *services : Headless();
}

IAppServices& HeadlessAppServices() { return Headless(); }

IAppServices* SetAppServices(IAppServices* services) { return registered.exchange(services); }
