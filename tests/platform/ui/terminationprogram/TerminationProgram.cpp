// A program for the termination-signal tests: it runs the application's
// message loop on the offscreen desktop and prints "ready" once it waits,
//   ui-termination-program <folder> loop|modal|busy
// loop: in the main loop; modal: inside a modal dialog; busy: with the GUI
// thread blocked reading standard input. Its unit finalisation writes
// <folder>/finalized; a close query would write <folder>/close-query and
// refuse; the modal dialog's end writes <folder>/modal-result.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <QGuiApplication>

#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/UiUnits.h"
#include "platform/win/backend/qt/QtDesktop.h"
#include "platform/win/shell/TerminationSignals.h"

namespace {

std::string folder;

void Mark(const std::string& name, const std::string& text = {}) { std::ofstream(folder + "/" + name) << text; }

void AnnounceReady() {
    std::printf("ready\n");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    folder = argv[1];
    const std::string mode = argv[2];
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    InstallQtDesktop();
    RegisterUiUnits();
    RegisterUnit(u"TerminationMarker", [] {}, [] { Mark("finalized"); });
    InitializeUnits();
    {
        TTerminationSignals terminationSignals;
        TForm* form = Application().CreateForm<TForm>();
        form->SetBounds(10, 10, 300, 200);
        form->OnCloseQuery = [](TObject*, bool& canClose) {
            Mark("close-query");
            canClose = false;
        };
        bool started = false;
        Application().OnIdle = [&](TObject*, bool&) {
            if (started) return;
            started = true;
            if (mode == "modal") {
                TForm* dialog = new TForm(form);
                dialog->SetBounds(40, 40, 200, 100);
                dialog->OnShow = [](TObject*) { AnnounceReady(); };
                Mark("modal-result", std::to_string(dialog->ShowModal()));
                return;
            }
            AnnounceReady();
            if (mode == "busy") {
                char byte;
                while (read(STDIN_FILENO, &byte, 1) > 0) {}
            }
        };
        Application().Run();
    }
    FinalizeUnits();
    UninstallQtDesktop();
    return 0;
}
