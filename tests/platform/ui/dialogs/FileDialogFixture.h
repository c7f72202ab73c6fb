#pragma once
// File-dialog tests: a main form, a temporary folder holding a.mp4, B.MKV,
// c.txt, .hidden.mp4 and sub/, the program's message box, and helpers that
// reach the dialog while its modal loop runs.

#include <filesystem>
#include <fstream>

#include "../ControlFixture.h"
#include "../IdleSteps.h"
#include "FreshTestFolder.h"
#include "platform/rtl/Files.h"
#include "platform/ui/comctrls/ListView.h"
#include "platform/ui/dialogs/Dialogs.h"
#include "platform/ui/dialogs/FileDialogForm.h"
#include "platform/rtl/DataFolder.h"
#include "platform/ui/stdctrls/ComboBox.h"
#include "platform/ui/stdctrls/ListBox.h"
#include "platform/ui/stdctrls/MessageDialog.h"
#include "platform/ui/stdctrls/StdButtons.h"
#include "platform/win/User.h"
#include "platform/win/shell/FileChooser.h"

class FileDialogTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        main = ShownForm({0, 0, 300, 200});
        const std::filesystem::path path = FreshTestFolder("filedialog");
        for (const char* name : {"a.mp4", "B.MKV", "c.txt", ".hidden.mp4"}) std::ofstream(path / name) << "data";
        std::filesystem::create_directory(path / "sub");
        folder = String::FromUtf8(path.string());
        currentFolder = GetCurrentDir();
        SetFileDialogMode(TFileDialogMode::fdOwnOnly);
    }
    void TearDown() override {
        EXPECT_EQ(GetCurrentDir(), currentFolder) << "the process's current folder never changes";
        SetFileDialogMode(TFileDialogMode::fdDesktopThenOwn);
        FormTest::TearDown();
    }

    // A dialog on the test folder with the video filter.
    template <class T = TOpenDialog>
    T* Dialog(TOpenOptions extra = {}) {
        auto* dialog = new T(main);
        dialog->SetFilter(u"Video files|*.mp4;*.mkv|All files (*.*)|*.*");
        dialog->SetFilterIndex(1);
        dialog->SetInitialDir(folder);
        dialog->SetOptions(dialog->Options() + extra);
        return dialog;
    }
    // The file dialog the modal loop shows now.
    static TFileDialogForm* Shown() {
        auto* form = dynamic_cast<TFileDialogForm*>(Screen().ActiveForm());
        EXPECT_NE(form, nullptr) << "our file dialog is the active form";
        return form;
    }
    static std::vector<String> Listed() {
        std::vector<String> names;
        TListItems* items = Shown()->FileList()->Items();
        for (int i = 0; i < items->Count(); ++i) names.push_back(items->Item(i)->Caption());
        return names;
    }
    static void Type(const String& text) {
        for (char16_t c : text) {
            DesktopKey(VK_PACKET, true, String(1, c));
            DesktopKey(VK_PACKET, false);
        }
    }
    // Focuses the file-name edit and types Text into it.
    static void TypeName(const String& text) {
        Shown()->FileNameControl()->SetFocus();
        Type(text);
    }
    static POINT ItemPoint(int index) {
        TListView* list = Shown()->FileList();
        const TRect r = list->Items()->Item(index)->DisplayRect();
        const TPoint p = list->ClientToScreen({r.Left + 20, (r.Top + r.Bottom) / 2});
        return {p.X, p.Y};
    }
    // Whether a box other than the dialog is the active window.
    static bool MessageBoxShown() {
        return GetActiveWindow() && Screen().ActiveForm() != nullptr &&
               GetActiveWindow() != Screen().ActiveForm()->Handle();
    }
    String In(const String& name) const { return folder + u"/" + name; }

    TForm* main = nullptr;
    String folder;
    String currentFolder;
    TMessageDialogService messageBox;
    TMessageBoxServiceScope messageBoxScope{messageBox};
};
