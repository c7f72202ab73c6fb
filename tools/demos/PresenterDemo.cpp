// A small scene on the real desktop for looking at: a form with a child window,
// a panel of text (a wrapped Chinese paragraph, a shortened path, a prefixed
// label, rotated text, a row of image-list icons drawn plain, selected and
// with an overlay) and a topmost no-activate popup, presented through Qt. After a moment it
// saves what the screen shows (the whole X screen, not only our windows) as
// PNG and ends. Run by scripts/screenshot.sh under Xvfb.

#include <cstdio>
#include <string_view>


#include "DemoDesktop.h"
#include "platform/win/User.h"
#include "platform/win/backend/qttest/OffscreenDesktop.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/icons/Icons.h"
#include "platform/win/imagelist/ImageList.h"
#include "platform/win/text/Text.h"

namespace {

constexpr UINT_PTR kGrabTimer = 1;
constexpr UINT kGrabDelayMs = 1000;

QString outputPath;
HIMAGELIST icons = nullptr;

LRESULT DemoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        FillDeviceContext(BeginPaint(hwnd, &ps), COLORREF(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kGrabTimer) {
            KillTimer(hwnd, kGrabTimer);
            PostQuitMessage(SaveScreen(outputPath) ? 0 : 1);
        }
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void PaintTextPanel(HDC dc, const RECT& client) {
    FillDeviceContext(dc, RGB(0xFF, 0xFF, 0xFF));
    SetBkMode(dc, TRANSPARENT);
    const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT r{client.left + 8, client.top + 6, client.right - 36, client.top + 80};
    DrawTextW(dc, u"选择输出配置，然后点“开始”。转换完成后，点我打开目录。Ostrel 支持 MP4、AVI 和 MKV 等常用格式。", -1, &r,
              DT_WORDBREAK | DT_EDITCONTROL);
    r = RECT{client.left + 8, client.top + 86, client.right - 36, client.top + 104};
    DrawTextW(dc, u"/home/user/视频/假期/2026/海边日落的剪辑.mp4", -1, &r, DT_PATH_ELLIPSIS | DT_SINGLELINE | DT_NOPREFIX);
    r = RECT{client.left + 8, client.top + 110, client.right - 36, client.top + 128};
    SetTextColor(dc, RGB(0x00, 0x33, 0x99));
    DrawTextW(dc, u"&Options 选项   文件(&F)   A&&B", -1, &r, DT_SINGLELINE);
    SetTextColor(dc, RGB(0, 0, 0));

    const int row = client.top + 140;
    for (int i = 0; i < 5; ++i) ImageList_Draw(icons, i, dc, client.left + 8 + i * 40, row, ILD_TRANSPARENT);
    ImageList_DrawEx(icons, 0, dc, client.left + 8, row + 40, 32, 32, CLR_NONE, CLR_DEFAULT, ILD_BLEND50);
    ImageList_Draw(icons, 0, dc, client.left + 48, row + 40, ILD_TRANSPARENT | INDEXTOOVERLAYMASK(1));

    LOGFONTW turned{};
    turned.lfHeight = -14;
    turned.lfEscapement = turned.lfOrientation = 900;
    turned.lfWeight = 700;
    const HFONT turnedFont = CreateFontIndirectW(&turned);
    SelectObject(dc, HGDIOBJ(turnedFont));
    const std::u16string_view turnedText = u"旋转 Rotated";
    TextOutW(dc, client.right - 26, client.bottom - 8, turnedText.data(), int(turnedText.size()));
    SelectObject(dc, oldFont);
    DeleteObject(HGDIOBJ(turnedFont));
}

LRESULT TextPanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcW(hwnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    PaintTextPanel(dc, client);
    EndPaint(hwnd, &ps);
    return 0;
}

HWND Make(DWORD exStyle, DWORD style, RECT r, HWND parent, COLORREF color, const char16_t* title = u"") {
    const HWND hwnd = CreateWindowExW(exStyle, u"DemoWindow", title, style, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, parent, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(color));
    return hwnd;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (!InstallDemoDesktop(argc, argv, outputPath)) return 2;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &DemoProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = u"DemoWindow";
    RegisterClassExW(&wc);
    wc.lpfnWndProc = &TextPanelProc;
    wc.lpszClassName = u"DemoText";
    RegisterClassExW(&wc);

    icons = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 5, 1);
    for (LPCWSTR id : {IDI_APPLICATION, IDI_ERROR, IDI_WARNING, IDI_INFORMATION, IDI_QUESTION})
        ImageList_AddIcon(icons, LoadIconW(nullptr, id));
    ImageList_SetOverlayImage(icons, 2, 1);

    const HWND form = Make(0, WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL, RECT{60, 50, 700, 470},
                           nullptr, RGB(0xD4, 0xD0, 0xC8), u"Ostrel 演示");
    const HWND list = Make(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, RECT{20, 20, 300, 220},
                           form, RGB(0xFF, 0xFF, 0xFF));
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 20, 40, 0};
    SetScrollInfo(list, SB_VERT, &si, FALSE);
    si.nPos = 10;
    SetScrollInfo(list, SB_HORZ, &si, FALSE);
    CreateWindowExW(WS_EX_CLIENTEDGE, u"DemoText", u"", WS_CHILD | WS_VISIBLE, 320, 20, 290, 240, form, nullptr, nullptr,
                    nullptr);
    ShowWindow(form, SW_SHOW);
    const HWND popup = Make(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP, RECT{520, 380, 820, 520}, nullptr,
                            RGB(0xFF, 0xE0, 0x40));
    ShowWindow(popup, SW_SHOWNA);
    SetTimer(form, kGrabTimer, kGrabDelayMs, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    ImageList_Destroy(icons);
    UninstallQtDesktop();
    return int(msg.wParam);
}
