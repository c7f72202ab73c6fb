// A form laid out like the converter's main window on the real desktop, for
// looking at: toolbar, details pages with the log, seek bar and status bar
// (MainWindowForm.h). Once it shows, the screen is saved as PNG and the
// program ends. Run by scripts/screenshot.sh under Xvfb.

#include "DemoDesktop.h"
#include "MainWindowForm.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/Timer.h"
#include "platform/ui/UiUnits.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QString outputPath;
    if (!InstallDemoDesktop(argc, argv, outputPath)) return 2;
    RegisterUiUnits();
    InitializeUnits();

    TForm* form = Application().CreateForm<TForm>();
    form->SetCaption(u"视频转换");
    form->SetBounds(20, 20, 980, 560);
    const TMainWindowLikeForm parts = BuildMainWindowLikeForm(form);
    parts.log->SetItemIndex(4);

    int exitCode = 1;
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
