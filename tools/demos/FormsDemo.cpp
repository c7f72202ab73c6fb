// The component framework on the real desktop, for looking at: a main form
// with aligned panels (categories on the left, the task list above the log),
// a graphic control painted by its panel, a hint shown over it and a modal
// dialog centred over the form. Once the dialog runs, the screen is saved as
// PNG and the program ends. Run by scripts/screenshot.sh under Xvfb.

#include <cstdio>


#include "DemoDesktop.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/CustomControl.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Hints.h"
#include "platform/ui/Timer.h"
#include "platform/ui/UiUnits.h"
#include "platform/win/User.h"

namespace {

// A panel: its colour, a title and an edge.
class TDemoPanel : public TCustomControl {
public:
    TDemoPanel(TComponent* owner, TWinControl* parent, TAlign align, int extent, TColor color, const String& title)
        : TCustomControl(owner) {
        SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
        SetBounds(0, 0, extent, extent);
        SetAlign(align);
        SetParentColor(false);
        SetColor(color);
        SetCaption(title);
        SetParent(parent);
    }

protected:
    void Paint() override {
        const TRect r = ClientRect();
        Canvas()->Brush()->SetColor(Color());
        Canvas()->FillRect(r);
        Canvas()->Pen()->SetColor(clBtnShadow);
        Canvas()->Brush()->SetStyle(bsClear);
        Canvas()->Rectangle(r);
        Canvas()->TextOut(8, 6, Caption());
    }
};

// A window-less "button" its panel paints.
class TDemoButton : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        const TRect r = ClientRect();
        Canvas()->Brush()->SetColor(TColor(0x00B0D8F0));
        Canvas()->Pen()->SetColor(clHighlight);
        Canvas()->RoundRect(r.Left, r.Top, r.Right, r.Bottom, 8, 8);
        const TSize text = Canvas()->TextExtent(Caption());
        Canvas()->Brush()->SetStyle(bsClear);
        Canvas()->TextOut((r.Width() - text.cx) / 2, (r.Height() - text.cy) / 2, Caption());
    }
};

QString outputPath;
int exitCode = 1;

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (!InstallDemoDesktop(argc, argv, outputPath)) return 2;
    RegisterUiUnits();
    InitializeUnits();

    TForm* form = Application().CreateForm<TForm>();
    form->BeginLoading();
    form->SetCaption(u"Ostrel 转换器");
    form->SetBounds(40, 30, 760, 470);
    new TDemoPanel(form, form, alLeft, 180, clWindow, u"分类");
    auto* client = new TDemoPanel(form, form, alClient, 0, clBtnFace, String());
    auto* tasks = new TDemoPanel(form, client, alTop, 250, clWindow, u"任务列表");
    new TDemoPanel(form, client, alClient, 0, TColor(0x00F4F4F4), u"日志：转换完成 3 个文件");
    auto* start = new TDemoButton(form);
    start->SetBounds(20, 60, 115, 40);
    start->SetCaption(u"开始转换");
    start->SetHint(u"开始转换选中的任务|开始转换列表中选中的任务");
    start->SetShowHint(true);
    start->SetParent(tasks);
    form->EndLoading();

    TForm* dialog = new TForm(form);
    dialog->BeginLoading();
    dialog->SetCaption(u"转换选项");
    dialog->SetBorderStyle(bsDialog);
    dialog->SetPosition(poMainFormCenter);
    dialog->SetBounds(0, 0, 320, 180);
    new TDemoPanel(dialog, dialog, alClient, 0, clBtnFace, u"输出格式：MP4（H.264 / AAC）");
    dialog->EndLoading();

    // Once the main form shows: the hint over the button, then the dialog;
    // inside the dialog's loop the screen is saved.
    TTimer grab(nullptr);
    grab.SetEnabled(false);
    grab.SetInterval(800);
    grab.SetOnTimer([&](TObject*) {
        grab.SetEnabled(false);
        exitCode = SaveScreen(outputPath) ? 0 : 1;
        dialog->SetModalResult(mrOk);
    });
    auto* hint = new THintWindow(form);
    TTimer begin(nullptr);
    begin.SetInterval(500);
    begin.SetOnTimer([&](TObject*) {
        begin.SetEnabled(false);
        // The hint the framework shows after the pointer rests on the button.
        const TPoint at = start->ClientToScreen({start->Width() / 2, start->Height() + 4});
        const String text = GetShortHint(start->Hint());
        TRect r = hint->CalcHintRect(300, text, nullptr);
        hint->ActivateHint({at.X, at.Y, at.X + r.Width(), at.Y + r.Height()}, text);
        grab.SetEnabled(true);
        dialog->ShowModal();
        Application().Terminate();
    });
    Application().Run();
    FinalizeUnits();
    UninstallQtDesktop();
    return exitCode;
}
