// Non-visual code reaches the framework through the application services
// once the framework's units are initialized.

#include <gtest/gtest.h>

#include "platform/rtl/AppServices.h"
#include "platform/rtl/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/CustomControl.h"
#include "platform/ui/Forms.h"
#include "platform/ui/MessageBoxService.h"
#include "platform/ui/UiUnits.h"
#include "platform/ui/stdctrls/MessageDialog.h"
#include "platform/win/User.h"
#include "support/dataproviders/XcDataConsumer.h"
#include "support/storage/XcTranslateString.h"
#include "supportui/XcCanvasAdapter.h"

namespace {

class FrameworkServices : public ::testing::Test {
protected:
    void SetUp() override {
        TDesktopMetrics desktop = DesktopMetrics();
        desktop.Monitors = {{RECT{0, 0, 1600, 900}, RECT{0, 0, 1600, 860}, true, {}},
                            {RECT{1600, 0, 2880, 1024}, RECT{1600, 0, 2880, 1024}, false, {}}};
        SetDesktopMetrics(desktop);
        RegisterUiUnits(units_);
        units_.Initialize();
    }
    void TearDown() override {
        units_.Finalize();
    }

    TUnitRegistry units_;
    TDesktopMetricsScope desktopScope_;
};

class TPaintCounter : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int paints = 0;

protected:
    void Paint() override { ++paints; }
};

class TRecordingBox final : public IMessageBoxService {
public:
    int Show(const String& text, const String&, uint32_t) override {
        texts.push_back(text);
        return IDOK;
    }
    std::vector<String> texts;
};

TEST_F(FrameworkServices, AStorageMacroSeesTheRealScreenAndDesktop) {
    TXcTranslateString macros(nullptr);
    EXPECT_EQ(macros.TranslateString(u"%SCREENSIZE%"), String(u"1600x900"));
    EXPECT_EQ(macros.TranslateString(u"%DESKTOPSIZE%"), String(u"2880x1024"));
    units_.Finalize();
    // Headless again once the framework is gone.
    EXPECT_EQ(AppServices().PrimaryScreenSize(), TDisplaySize{});
    units_.Initialize();
}

TEST_F(FrameworkServices, AConsumersChangeRepaintsItsControlAtOnce) {
    TForm* form = Application().CreateForm<TForm>();
    form->SetBounds(0, 0, 200, 100);
    auto* control = new TPaintCounter(form);
    control->SetBounds(0, 0, 50, 50);
    control->SetParent(form);
    form->Show();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    const int before = control->paints;
    TXcDataConsumer consumer(control, {});
    consumer.ProviderChanged(nullptr, pcrItemsChanged, nullptr);
    EXPECT_EQ(control->paints, before + 1);
}

TEST_F(FrameworkServices, ExceptionsAndMessageBoxesGoThroughTheApplication) {
    TRecordingBox box;
    TMessageBoxServiceScope scope(box);
    int seen = 0;
    Application().OnException = [&](TObject*, const std::exception&) { ++seen; };
    AppServices().HandleException(EConvertError("bad value"));
    EXPECT_EQ(seen, 1);
    Application().OnException = nullptr;
    AppServices().HandleException(EConvertError("bad value"));
    ASSERT_EQ(box.texts.size(), 1u);
    EXPECT_EQ(box.texts[0], String(u"bad value."));
    EXPECT_EQ(AppServices().MessageBox(u"saved", u"", MB_OK), IDOK);
    EXPECT_EQ(box.texts.size(), 2u);
}

TEST_F(FrameworkServices, WithoutADialogMessageBoxesFallBackToTheHeadlessAnswer) {
    RemoveMessageDialog();
    EXPECT_EQ(AppServices().MessageBox(u"no dialog yet", u"", MB_OK), IDOK);
    InstallMessageDialog();
}

TEST_F(FrameworkServices, PaintersMeasureAndWriteOnTheFrameworkCanvas) {
    TCanvas canvas;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 64, 16);
    HGDIOBJ old = SelectObject(dc, ToGdiObject(bitmap));
    canvas.SetHandle(dc);
    TXcCanvasAdapter adapter(canvas);
    EXPECT_EQ(adapter.TextExtent(u"任务"), canvas.TextExtent(u"任务"));
    EXPECT_GT(adapter.TextExtent(u"任务").cx, 0);
    canvas.Brush()->SetColor(clWhite);
    canvas.Font()->SetColor(clBlack);
    adapter.TextRect({0, 0, 64, 16}, 2, 0, u"任务");
    EXPECT_EQ(canvas.Pixel(63, 15), clWhite);
    canvas.SetHandle(nullptr);
    SelectObject(dc, old);
    DeleteObject(ToGdiObject(bitmap));
    DeleteDC(dc);
}

} // namespace
