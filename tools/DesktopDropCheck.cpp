// Checks by hand that a file dragged by another program over XDND arrives at
// a registered drop target as CF_HDROP (scripts/desktop-drop-check.sh runs
// both sides under Xvfb).
//
//   desktop-drop-check target        a form at (100, 100) whose child (screen
//                                    (150, 150)-(350, 300)) has a registered
//                                    target printing what it is given; ends
//                                    after the drop or after 20 seconds
//   desktop-drop-check source X Y F  a real QDrag of the file URI of F, led by
//                                    the program's own pointer events to the
//                                    screen point (X, Y) and dropped there

#include <cstdio>
#include <cstdlib>

#include <QDrag>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include "platform/win/User.h"
#include "platform/win/backend/qt/QtDesktop.h"
#include "platform/win/dataxfer/DataTransfer.h"

namespace {

constexpr UINT_PTR kGiveUpTimer = 1;

void Print(const char* what, const String& text = String()) {
    std::printf("%s %s\n", what, EncodeCodePage(text, CP_ACP).c_str());
    std::fflush(stdout);
}

void PrintFiles(IDataObject& data) {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium;
    if (data.GetData(format, medium) != S_OK) {
        Print("no CF_HDROP");
        return;
    }
    const auto drop = static_cast<HDROP>(medium.hGlobal);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        String name(DragQueryFileW(drop, i, nullptr, 0), u'\0');
        DragQueryFileW(drop, i, name.data(), UINT(name.size() + 1));
        Print("CF_HDROP", name);
    }
    ReleaseStgMedium(&medium);
}

class TPrintingTarget : public TImplements<TInterfacedObject, IDropTarget> {
public:
    HRESULT DragEnter(IDataObject* data, DWORD, POINTL point, DWORD& effect) override {
        std::printf("DragEnter at %d,%d allowed %u\n", int(point.x), int(point.y), unsigned(effect));
        PrintFiles(*data);
        effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragOver(DWORD, POINTL, DWORD& effect) override {
        effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT DragLeave() override {
        Print("DragLeave");
        return S_OK;
    }
    HRESULT Drop(IDataObject* data, DWORD, POINTL point, DWORD& effect) override {
        std::printf("Drop at %d,%d\n", int(point.x), int(point.y));
        PrintFiles(*data);
        effect = DROPEFFECT_COPY;
        PostQuitMessage(0);
        return S_OK;
    }
};

LRESULT FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kGiveUpTimer) {
        Print("no drop");
        PostQuitMessage(1);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

int RunTarget() {
    InstallQtDesktop();
    WNDCLASSW wc{};
    wc.lpfnWndProc = &FormProc;
    wc.lpszClassName = u"DropCheckForm";
    RegisterClassW(&wc);
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = u"DropCheckChild";
    RegisterClassW(&wc);
    const HWND form = CreateWindowExW(0, u"DropCheckForm", u"Drop check", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300,
                                      nullptr, nullptr, nullptr, nullptr);
    POINT origin{};
    ClientToScreen(form, &origin);
    const HWND child = CreateWindowExW(0, u"DropCheckChild", u"", WS_CHILD | WS_VISIBLE, 150 - origin.x, 150 - origin.y,
                                       200, 150, form, nullptr, nullptr, nullptr);
    const TIntfPtr<IDropTarget> target = MakeIntf<TPrintingTarget>();
    RegisterDragDrop(child, target.get());
    ShowWindow(form, SW_SHOW);
    SetTimer(form, kGiveUpTimer, 20000, nullptr);
    Print("ready");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    DestroyWindow(form);
    UninstallQtDesktop();
    return int(msg.wParam);
}

// The drag's own event filter takes pointer events from anywhere in the
// program, so posted ones lead it as a real pointer would.
void PostPointer(QWindow& window, QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
    QCoreApplication::postEvent(&window, new QMouseEvent(type, QPointF(window.mapFromGlobal(global)), QPointF(global),
                                                         Qt::LeftButton, buttons, Qt::NoModifier));
}

int RunSource(QPoint to, const QString& file) {
    QWindow window;
    window.setGeometry(700, 500, 100, 100);
    window.show();
    QTimer::singleShot(500, [&] {
        auto* drag = new QDrag(&window);
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(file)});
        drag->setMimeData(data);
        QTimer::singleShot(300, [&] { PostPointer(window, QEvent::MouseMove, to - QPoint(20, 20), Qt::LeftButton); });
        QTimer::singleShot(600, [&] { PostPointer(window, QEvent::MouseMove, to, Qt::LeftButton); });
        QTimer::singleShot(900, [&] { PostPointer(window, QEvent::MouseMove, to + QPoint(1, 1), Qt::LeftButton); });
        QTimer::singleShot(1500, [&] { PostPointer(window, QEvent::MouseButtonRelease, to + QPoint(1, 1), {}); });
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
        std::printf("source: the drag ended with action %d\n", int(action));
        std::fflush(stdout);
        QTimer::singleShot(200, [] { QCoreApplication::quit(); });
    });
    return QGuiApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc == 2 && std::string_view(argv[1]) == "target") return RunTarget();
    if (argc == 5 && std::string_view(argv[1]) == "source")
        return RunSource(QPoint(std::atoi(argv[2]), std::atoi(argv[3])), QString::fromLocal8Bit(argv[4]));
    std::fprintf(stderr, "usage: %s target | source X Y FILE\n", argv[0]);
    return 2;
}
