// Our own file dialog on the real desktop, for looking at: a folder of
// Chinese names (folders first, numbers in numeric order, a hidden file left
// out) under the video filter, with two files selected. Once the dialog
// shows, the screen is saved as PNG and the program ends. Run by
// scripts/screenshot.sh under Xvfb.

#include <filesystem>
#include <fstream>

#include "DemoDesktop.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Timer.h"
#include "platform/ui/UiUnits.h"
#include "platform/ui/comctrls/ListView.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/dialogs/FileDialogForm.h"
#include "platform/win/shell/FileChooser.h"

namespace {

QString outputPath;
int exitCode = 1;

std::filesystem::path MakeFolder() {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "文件对话框演示";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    for (const char* name : {"电影10.mkv", "电影2.mkv", "我的视频 2026.mp4", "假期.MP4", "说明.txt", ".隐藏.mp4"})
        std::ofstream(folder / name) << std::string(150000, 'x');
    for (const char* name : {"音乐", "视频素材", "下载"}) std::filesystem::create_directory(folder / name);
    return folder;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (!InstallDemoDesktop(argc, argv, outputPath)) return 2;
    RegisterUiUnits();
    InitializeUnits();
    SetFileDialogMode(TFileDialogMode::fdOwnOnly);
    const std::filesystem::path folder = MakeFolder();

    TForm* form = Application().CreateForm<TForm>();
    form->SetCaption(u"添加批量转换");
    form->SetBounds(20, 20, 300, 200);
    auto* dialog = new TOpenDialog(form);
    dialog->SetTitle(u"选择视频文件");
    dialog->SetFilter(u"视频文件 (*.mp4;*.mkv)|*.mp4;*.mkv|所有文件 (*.*)|*.*");
    dialog->SetOptions(dialog->Options() + TOpenOptions{ofAllowMultiSelect, ofFileMustExist});
    dialog->SetInitialDir(String::FromUtf8(folder.string()));

    // Inside the dialog's loop: two files selected, the screen saved, the dialog cancelled.
    TTimer grab(nullptr);
    grab.SetEnabled(false);
    grab.SetInterval(800);
    grab.SetOnTimer([&](TObject*) {
        grab.SetEnabled(false);
        auto* shown = dynamic_cast<TFileDialogForm*>(Screen().ActiveForm());
        if (shown) {
            TListItems* items = shown->FileList()->Items();
            items->Item(4)->SetSelected(true);
            items->Item(5)->SetSelected(true);
            shown->FileList()->SetFocus();
        }
        TTimer* save = new TTimer(form);
        save->SetInterval(300);
        save->SetOnTimer([&, save, shown](TObject*) {
            save->SetEnabled(false);
            exitCode = SaveScreen(outputPath) ? 0 : 1;
            if (shown) shown->SetModalResult(mrCancel);
        });
    });
    TTimer begin(nullptr);
    begin.SetInterval(500);
    begin.SetOnTimer([&](TObject*) {
        begin.SetEnabled(false);
        grab.SetEnabled(true);
        dialog->Execute();
        Application().Terminate();
    });
    Application().Run();
    FinalizeUnits();
    UninstallQtDesktop();
    std::filesystem::remove_all(folder);
    return exitCode;
}
