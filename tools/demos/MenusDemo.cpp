// The framework's menus on the real desktop, for looking at: a main form
// with a Chinese menu bar (a hidden "Tools" among its menus) whose first menu
// is opened by the keyboard, showing an item with an image and "Ctrl+N",
// a separator, a check mark and a disabled item. Once the menu is open the
// screen is saved as PNG and the program ends. Run by scripts/screenshot.sh
// under Xvfb.

#include "DemoDesktop.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Timer.h"
#include "platform/ui/UiUnits.h"
#include "platform/ui/graphics/ImageList.h"
#include "platform/win/User.h"
#include "platform/win/desktop/Desktop.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/menus/Menus.h"

namespace {

// A form whose window procedure the demo wraps.
class TDemoForm : public TForm {
public:
    using TForm::TForm;
    using TForm::WndProc;
};

QString outputPath;
int exitCode = 1;

// A 16 x 16 green "new" square with a white cross.
HIMAGELIST MakeImages() {
    const HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32, 1, 0);
    const HDC screen = GetDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, ToGdiObject(bitmap));
    const HBRUSH green = CreateSolidBrush(RGB(40, 160, 60)), white = CreateSolidBrush(RGB(255, 255, 255));
    const RECT all{0, 0, 16, 16}, across{3, 7, 13, 9}, down{7, 3, 9, 13};
    FillRect(dc, &all, green);
    FillRect(dc, &across, white);
    FillRect(dc, &down, white);
    DeleteObject(ToGdiObject(green));
    DeleteObject(ToGdiObject(white));
    SelectObject(dc, old);
    DeleteDC(dc);
    ImageList_Add(images, bitmap, nullptr);
    DeleteObject(ToGdiObject(bitmap));
    return images;
}

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const String& caption) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (!InstallDemoDesktop(argc, argv, outputPath)) return 2;
    RegisterUiUnits();
    InitializeUnits();

    TDemoForm* form = Application().CreateForm<TDemoForm>();
    form->BeginLoading();
    form->SetCaption(u"Ostrel 转换器");
    form->SetBounds(40, 30, 640, 400);
    auto* menu = new TMainMenu(form);
    auto* images = new TImageList(form);
    images->SetHandle(MakeImages());
    menu->SetImages(images);
    TMenuItem* file = AddItem(form, menu->Items(), u"文件(&F)");
    TMenuItem* newTask = AddItem(form, file, u"新建任务(&N)");
    newTask->SetShortCut(TShortCut(0x4000 | 'N'));
    newTask->SetImageIndex(0);
    AddItem(form, file, u"添加文件夹(&D)");
    AddItem(form, file, u"-");
    AddItem(form, file, u"完成后关机(&S)")->SetChecked(true);
    AddItem(form, file, u"导入 DVD(&V)")->SetEnabled(false);
    AddItem(form, file, u"-");
    AddItem(form, file, u"退出(&X)");
    for (const char16_t* caption : {u"编辑(&E)", u"任务(&T)", u"Tools", u"帮助(&H)"})
        AddItem(form, AddItem(form, menu->Items(), caption), u"…");
    menu->Items()->Items(3)->SetVisible(false);
    form->SetMenu(menu);
    form->EndLoading();

    // Once the first menu is open and drawn, the screen is saved and the menu left.
    TTimer grab(nullptr);
    grab.SetEnabled(false);
    grab.SetInterval(800);
    grab.SetOnTimer([&](TObject*) {
        grab.SetEnabled(false);
        exitCode = SaveScreen(outputPath) ? 0 : 1;
        EndMenu();
        Application().Terminate();
    });
    form->SetWindowProc([&](TMessage& m) {
        if (m.Msg == WM_ENTERIDLE && m.LParam && !grab.Enabled()) grab.SetEnabled(true);
        form->WndProc(m);
    });
    TTimer begin(nullptr);
    begin.SetInterval(500);
    begin.SetOnTimer([&](TObject*) {
        begin.SetEnabled(false);
        DesktopKey(VK_MENU, true);
        DesktopKey('F', true, u"f");
        DesktopKey('F', false);
        DesktopKey(VK_MENU, false);
    });
    Application().Run();
    form->SetWindowProc({});
    FinalizeUnits();
    UninstallQtDesktop();
    return exitCode;
}
