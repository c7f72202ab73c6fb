// Panes, a context menu and a drag on the real desktop, for looking at: a
// form with a file list and a log side by side, their splitter dragged to the
// right; the file list's context menu opened by a right click (the first
// screenshot, <output>); then a file dragged by its picture out of the form,
// across the bare desktop, onto a second window that takes it (the second
// screenshot, <output>-drag.png, while the picture is over that window).
// Input comes as the desktop would send it. Run by scripts/screenshot.sh
// under Xvfb.

#include <functional>
#include <vector>

#include "DemoDesktop.h"
#include "platform/rtl/UnitRegistry.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/Timer.h"
#include "platform/ui/UiUnits.h"
#include "platform/ui/stdctrls/ListBox.h"
#include "platform/ui/stdctrls/Splitter.h"
#include "platform/win/User.h"
#include "platform/win/dataxfer/DataTransfer.h"
#include "platform/win/dataxfer/StoredDataObject.h"
#include "platform/win/desktop/Desktop.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/menus/Menus.h"
#include "platform/win/shell/FileIcons.h"
#include "platform/win/text/Text.h"

namespace {

QString outputPath;
int exitCode = 0;

using TStep = std::function<void()>;

void Save(const QString& path) {
    if (!SaveScreen(path)) exitCode = 1;
}

QString DragShotPath() {
    QString path = outputPath;
    return path.endsWith(".png") ? path.insert(path.size() - 4, "-drag") : path + "-drag.png";
}

POINT ScreenPoint(TControl* control, int x, int y) {
    const TPoint p = control->ClientToScreen({x, y});
    return {p.X, p.Y};
}

POINT ItemCentre(TListBox* list, int index) {
    const TRect r = list->ItemRect(index);
    return ScreenPoint(list, r.Left + 30, (r.Top + r.Bottom) / 2);
}

// The dragged file's picture: its icon and its name on the selection colour.
HIMAGELIST DragPicture(const String& name) {
    constexpr int kWidth = 150, kHeight = 20;
    const HIMAGELIST list = ImageList_Create(kWidth, kHeight, ILC_COLOR24, 1, 0);
    const HDC screen = GetDC(nullptr);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
    ReleaseDC(nullptr, screen);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ oldBitmap = SelectObject(dc, ToGdiObject(bitmap));
    const RECT all{0, 0, kWidth, kHeight};
    FillRect(dc, &all, GetSysColorBrush(COLOR_HIGHLIGHT));
    const HICON icon = MimeTypeIcon(FileMimeType(name, false), 16);
    DrawIconEx(dc, 2, 2, icon, 16, 16, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    TextOutW(dc, 22, 3, name.c_str(), int(name.size()));
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    ImageList_Add(list, bitmap, nullptr);
    DeleteObject(ToGdiObject(bitmap));
    return list;
}

// Moves the picture with the pointer and runs one scripted step each time the
// drag asks whether to go on; drops once the left button is up.
class TScriptedSource : public TImplements<TInterfacedObject, IDropSource> {
public:
    std::vector<TStep> steps;

    HRESULT QueryContinueDrag(BOOL escape, DWORD keyState) override {
        POINT at{};
        GetCursorPos(&at);
        ImageList_DragMove(at.x, at.y);
        if (next_ < steps.size()) steps[next_++]();
        if (escape) return DRAGDROP_S_CANCEL;
        return keyState & MK_LBUTTON ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    size_t next_ = 0;
};

// Takes dropped text as a new line of List, shown selected while a drag is over it.
class TListDropTarget : public TImplements<TInterfacedObject, IDropTarget> {
public:
    explicit TListDropTarget(TListBox* list) : list_(list) {}

    HRESULT DragEnter(IDataObject*, DWORD, POINTL, DWORD& effect) override {
        list_->SetColor(clInfoBk);
        effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragOver(DWORD, POINTL, DWORD& effect) override {
        effect &= DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragLeave() override {
        list_->SetColor(clWindow);
        return S_OK;
    }
    HRESULT Drop(IDataObject* data, DWORD, POINTL, DWORD& effect) override {
        list_->SetColor(clWindow);
        STGMEDIUM medium;
        if (data->GetData({CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, medium) == S_OK) {
            list_->Items()->Add(static_cast<const char16_t*>(GlobalLock(medium.hGlobal)));
            GlobalUnlock(medium.hGlobal);
            ReleaseStgMedium(&medium);
        }
        effect &= DROPEFFECT_COPY;
        return S_OK;
    }

private:
    TListBox* list_;
};

template <class T>
T* Child(TWinControl* parent, TComponent* owner) {
    auto* control = new T(owner);
    control->SetParent(parent);
    return control;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (!InstallDemoDesktop(argc, argv, outputPath)) return 2;
    RegisterUiUnits();
    InitializeUnits();
    OleInitialize(nullptr);

    TForm* form = Application().CreateForm<TForm>();
    form->BeginLoading();
    form->SetCaption(u"转换任务");
    form->SetBounds(20, 40, 600, 360);
    auto* files = Child<TListBox>(form, form);
    files->SetAlign(alLeft);
    files->SetWidth(180);
    for (const char16_t* name : {u"电影2.mkv", u"电影10.mkv", u"假期.mp4", u"家庭录像 2026.avi", u"音乐会.mp3"})
        files->Items()->Add(name);
    auto* splitter = Child<TSplitter>(form, form);
    splitter->SetAlign(alLeft);
    splitter->SetLeft(files->Width());
    auto* log = Child<TListBox>(form, form);
    log->SetAlign(alClient);
    for (const char16_t* line : {u"09:12 开始转换 电影2.mkv → MP4（H.264 / AAC）", u"09:14 完成 电影2.mkv，用时 2 分 03 秒",
                                 u"09:14 开始转换 电影10.mkv"})
        log->Items()->Add(line);
    auto* menu = new TPopupMenu(form);
    for (const char16_t* caption : {u"开始转换(&S)", u"打开所在文件夹(&O)", u"-", u"从列表中删除(&D)", u"属性(&R)…"}) {
        auto* item = new TMenuItem(form);
        item->SetCaption(caption);
        menu->Items()->Add(item);
    }
    files->SetPopupMenu(menu);
    form->EndLoading();

    TForm* queue = Application().CreateForm<TForm>();
    queue->SetCaption(u"输出队列");
    queue->SetBounds(680, 90, 300, 260);
    auto* queued = Child<TListBox>(queue, queue);
    queued->SetAlign(alClient);
    queued->Items()->Add(u"课程 第1讲.mp4");
    queue->Show();
    const auto target = MakeIntf<TListDropTarget>(queued);
    RegisterDragDrop(queued->Handle(), target.get());

    TTimer stepper(nullptr);
    // Inside the drag: the screen saved once the picture has settled over the
    // queue, then the button let go there.
    TTimer dropShot(nullptr);
    dropShot.SetEnabled(false);
    dropShot.SetInterval(400);
    POINT dropPoint{};
    dropShot.SetOnTimer([&](TObject*) {
        dropShot.SetEnabled(false);
        Save(DragShotPath());
        DesktopMouseButton(TDesktopButton::Left, false, dropPoint);
    });
    // The button goes down on the file (taken before the drag begins), then the drag.
    const auto press = [&] {
        const POINT start = ItemCentre(files, 1);
        DesktopMouseMove(start);
        DesktopMouseButton(TDesktopButton::Left, true, start);
    };
    const auto drag = [&] {
        stepper.SetEnabled(false);
        const String name = files->Items()->Strings(1);
        const POINT start = ItemCentre(files, 1);
        const HIMAGELIST picture = DragPicture(name);
        ImageList_BeginDrag(picture, 0, 8, 10);
        ImageList_Destroy(picture);
        ImageList_DragEnter(nullptr, start.x, start.y);
        // Each step runs when the drag asks after the input of the one before.
        const POINT between{(form->Left() + form->Width() + queue->Left()) / 2, start.y + 40};
        const POINT over = ItemCentre(queued, 0);
        dropPoint = {over.x + 10, over.y + 40};
        const auto source = MakeIntf<TScriptedSource>();
        source->steps = {
            [=] { DesktopMouseMove(between); },
            [=] { DesktopMouseMove({over.x, over.y + 30}); },
            [&] { DesktopMouseMove(dropPoint); },
            [&] { dropShot.SetEnabled(true); },
        };
        const auto data = MakeIntf<TStoredDataObject>();
        data->SetText(name);
        DWORD effect = DROPEFFECT_NONE;
        DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY, &effect);
        ImageList_DragLeave(nullptr);
        ImageList_EndDrag();
        stepper.SetEnabled(true);
    };
    // One step each time the stepper fires; it fires in the menu's loop too.
    const std::vector<TStep> steps = {
        [&] {
            // The splitter dragged 90 pixels to the right.
            const POINT bar = ScreenPoint(form, splitter->Left() + splitter->Width() / 2, 100);
            DesktopMouseMove(bar);
            DesktopMouseButton(TDesktopButton::Left, true, bar);
            DesktopMouseMove({bar.x + 45, bar.y});
            DesktopMouseMove({bar.x + 90, bar.y});
            DesktopMouseButton(TDesktopButton::Left, false, {bar.x + 90, bar.y});
        },
        [&] {
            const POINT item = ItemCentre(files, 2);
            DesktopMouseMove(item);
            DesktopMouseButton(TDesktopButton::Right, true, item);
            DesktopMouseButton(TDesktopButton::Right, false, item);
        },
        [&] {
            Save(outputPath);
            EndMenu();
        },
        press,
        drag,
        [&] { Application().Terminate(); },
    };
    size_t next = 0;
    stepper.SetInterval(600);
    stepper.SetOnTimer([&](TObject*) {
        if (next < steps.size()) steps[next++]();
    });
    Application().Run();
    RevokeDragDrop(queued->Handle());
    OleUninitialize();
    FinalizeUnits();
    UninstallQtDesktop();
    return exitCode;
}
