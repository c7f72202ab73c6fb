// The folder-browse dialog on the real desktop, for looking at: over an owner
// window, a folder tree with Chinese names, a two-line prompt, the edit, the
// new-folder button and a help button the caller adds, one folder selected.
// Once the dialog shows, the screen is saved as PNG and the program ends. Run
// by scripts/screenshot.sh under Xvfb.

#include <cstdlib>
#include <filesystem>
#include <string>

#include "DemoDesktop.h"
#include "platform/win/User.h"
#include "platform/win/controls/folderdialog/BrowseForFolder.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/shell/ItemIdLists.h"
#include "platform/win/text/Text.h"

namespace {

QString outputPath;
int exitCode = 1;
std::filesystem::path root;

void MakeTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "folder-demo-XXXXXX").string();
    root = std::filesystem::path(mkdtemp(pattern.data())) / "我的文档";
    for (const char* folder : {"视频/电影", "视频/电视剧", "视频/家庭录像 2026", "音乐", "照片 2026", "下载",
                               "转换输出", ".隐藏的文件夹"})
        std::filesystem::create_directories(root / folder);
}

void SaveAndClose(HWND dialog, UINT, UINT_PTR id, DWORD) {
    KillTimer(dialog, id);
    exitCode = SaveScreen(outputPath) ? 0 : 1;
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

int Callback(HWND dialog, UINT message, LPARAM, LPARAM) {
    if (message != BFFM_INITIALIZED) return 0;
    const String selected = String::FromUtf8((root / "视频/电影").string());
    SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(selected.c_str()));
    // A help button as a caller adds one: the first button's place, at the left.
    RECT ok{};
    GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
    ScreenToClient(dialog, reinterpret_cast<POINT*>(&ok.left));
    const HWND help = CreateWindowExW(0, u"BUTTON", u"帮助(&H)", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 130, ok.top, 75,
                                      24, dialog, HMENU(uintptr_t(0xFFFF)), nullptr, nullptr);
    SendMessageW(help, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    SetTimer(dialog, 1, 800, &SaveAndClose);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (!InstallDemoDesktop(argc, argv, outputPath)) return 2;
    MakeTree();

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hbrBackground = GetSysColorBrush(COLOR_APPWORKSPACE);
    wc.lpszClassName = u"FolderDemoOwner";
    RegisterClassExW(&wc);
    const HWND owner = CreateWindowExW(0, u"FolderDemoOwner", u"视频转换", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                       980, 600, nullptr, nullptr, nullptr, nullptr);

    ITEMIDLIST* rootList = ItemIdListFromPath(String::FromUtf8(root.string()));
    BROWSEINFOW info;
    info.hwndOwner = owner;
    info.pidlRoot = rootList;
    info.lpszTitle = u"请选择输出文件夹:\r转换后的文件将保存在这个文件夹中。";
    info.ulFlags = BIF_NEWDIALOGSTYLE | BIF_EDITBOX | BIF_STATUSTEXT;
    info.lpfn = &Callback;
    ILFree(SHBrowseForFolderW(&info));
    ILFree(rootList);
    DestroyWindow(owner);
    std::error_code error;
    std::filesystem::remove_all(root.parent_path(), error);
    UninstallQtDesktop();
    return exitCode;
}
