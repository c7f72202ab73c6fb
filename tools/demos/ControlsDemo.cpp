// The standard controls on the real desktop, for looking at: a dialog with a
// label and an edit, a memo, check boxes, a group box with two radio buttons,
// a drop-down list, an owner-drawn list and two buttons. Once the dialog
// shows, the screen is saved as PNG and the program ends. Run by
// scripts/screenshot.sh under Xvfb.

#include "DemoDesktop.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Timer.h"
#include "platform/ui/UiUnits.h"
#include "platform/ui/stdctrls/ComboBox.h"
#include "platform/ui/stdctrls/Edits.h"
#include "platform/ui/stdctrls/Label.h"
#include "platform/ui/stdctrls/ListBox.h"
#include "platform/ui/stdctrls/StdButtons.h"

namespace {

TForm* form = nullptr;

// A control of the form, placed on Parent.
template <class T>
T* Place(TWinControl* parent, int left, int top, int width, int height) {
    auto* control = new T(form);
    control->SetBounds(left, top, width, height);
    control->SetParent(parent);
    return control;
}

QString outputPath;
int exitCode = 1;

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (!InstallDemoDesktop(argc, argv, outputPath)) return 2;
    RegisterUiUnits();
    InitializeUnits();

    form = Application().CreateForm<TForm>();
    form->BeginLoading();
    form->SetCaption(u"转换选项");
    form->SetBorderStyle(bsDialog);
    form->SetBounds(60, 40, 560, 400);

    Place<TLabel>(form, 16, 19, 64, 16)->SetCaption(u"文件名(&F):");
    auto* name = Place<TEdit>(form, 90, 16, 250, 23);
    name->SetText(u"我的视频 2026.mp4");

    auto* notes = Place<TMemo>(form, 16, 50, 324, 90);
    notes->Lines()->Add(u"转换完成后打开输出文件夹。");
    notes->Lines()->Add(u"Two passes for better quality.");

    auto* subtitles = Place<TCheckBox>(form, 16, 150, 160, 20);
    subtitles->SetCaption(u"加入字幕(&S)");
    subtitles->SetChecked(true);
    Place<TCheckBox>(form, 180, 150, 160, 20)->SetCaption(u"完成后关机");

    auto* group = Place<TGroupBox>(form, 16, 180, 324, 70);
    group->SetCaption(u"画面比例");
    auto* wide = Place<TRadioButton>(group, 12, 24, 120, 20);
    wide->SetCaption(u"16:9 宽屏");
    wide->SetChecked(true);
    Place<TRadioButton>(group, 150, 24, 120, 20)->SetCaption(u"4:3 标准");

    auto* profile = Place<TComboBox>(form, 16, 262, 324, 24);
    profile->SetStyle(csDropDownList);
    for (const char16_t* item : {u"MP4（H.264 / AAC）", u"MKV（H.265 / Opus）", u"WebM（VP9 / Vorbis）"})
        profile->Items()->Add(item);
    profile->SetItemIndex(0);

    auto* categories = Place<TListBox>(form, 356, 16, 180, 270);
    categories->SetStyle(lbOwnerDrawFixed);
    categories->SetItemHeight(22);
    const TColor swatches[] = {clRed, clGreen, clBlue, clOlive, clPurple, clTeal};
    const char16_t* names[] = {u"电影", u"电视剧", u"音乐视频", u"家庭录像", u"课程", u"其他"};
    for (const char16_t* item : names) categories->Items()->Add(item);
    categories->OnDrawItem = [&](TWinControl*, int index, TRect rect, TOwnerDrawState) {
        TCanvas* canvas = categories->Canvas();
        canvas->FillRect(rect);
        canvas->Brush()->SetColor(swatches[index % 6]);
        canvas->FillRect(TRect{rect.Left + 4, rect.Top + 4, rect.Left + 18, rect.Bottom - 4});
        canvas->Brush()->SetStyle(bsClear);
        canvas->TextOut(rect.Left + 24, rect.Top + 3, categories->Items()->Strings(index));
        // The list box draws the focus rectangle itself once this returns.
    };
    categories->SetItemIndex(1);

    auto* ok = Place<TButton>(form, 356, 330, 85, 27);
    ok->SetCaption(u"确定");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = Place<TButton>(form, 451, 330, 85, 27);
    cancel->SetCaption(u"取消");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    form->SetActiveControl(name);
    form->EndLoading();

    // Once the form shows, the screen is saved and the program ends.
    TTimer grab(nullptr);
    grab.SetInterval(800);
    grab.SetOnTimer([&](TObject*) {
        grab.SetEnabled(false);
        exitCode = SaveScreen(outputPath) ? 0 : 1;
        Application().Terminate();
    });
    Application().Run();
    FinalizeUnits();
    UninstallQtDesktop();
    return exitCode;
}
