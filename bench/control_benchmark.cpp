// The component framework's hot paths against baselines measured in the same run:
//   Perform of a handled message (WindowProc, handler table)    vs a same-thread SendMessageW
//                                                                  to a trivial window procedure
//   Realign of a form with 200 aligned controls with windows    (target: at most 1 ms)
//   creating, showing and painting a form with 100 controls     (target: at most 50 ms)
// Each figure is the median of several rounds; the last line is the ratio.

#include <cstdio>

#include "BenchTiming.h"
#include "platform/ui/Application.h"
#include "platform/ui/CustomControl.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"
#include "platform/win/User.h"

namespace {

constexpr UINT kPing = WM_USER + 1;

class TPingControl : public TCustomControl {
    RTL_CLASS(TPingControl, TCustomControl);
    UI_MESSAGES(TPingControl, TCustomControl);

public:
    using TCustomControl::TCustomControl;
    long pings = 0;

private:
    void Ping(TMessage& m) { m.Result = ++pings; }
};

RTL_PUBLISHED_NONE(TPingControl);
UI_MESSAGE_MAP(TPingControl, t) { t.On<&TPingControl::Ping>(kPing); }

class TBox : public TCustomControl {
public:
    explicit TBox(TComponent* owner) : TCustomControl(owner) {}

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clSkyBlue);
        Canvas()->FillRect(ClientRect());
        Canvas()->TextOut(2, 2, u"任务");
    }
};

LRESULT TrivialProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPing) return LRESULT(wParam + 1);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TForm* FormWith(int controls, TAlign align) {
    auto* form = new TForm(&Application());
    form->SetBounds(0, 0, 1200, 800);
    for (int i = 0; i < controls; ++i) {
        auto* box = new TBox(form);
        box->SetBounds(0, 0, 40, 3);
        box->SetAlign(align);
        box->SetParent(form);
    }
    return form;
}

} // namespace

int main() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &TrivialProc;
    wc.lpszClassName = u"BenchTrivial";
    RegisterClassW(&wc);
    HWND trivial = CreateWindowExW(0, u"BenchTrivial", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    WPARAM i = 0;
    const double sendTime =
        1e9 * TTiming(31).Repeat(100000).MedianSeconds([&] { i = WPARAM(SendMessageW(trivial, kPing, i, 0)); });

    TForm* host = FormWith(0, alNone);
    auto* ping = new TPingControl(host);
    ping->SetParent(host);
    const double performTime = 1e9 * TTiming(31).Repeat(100000).MedianSeconds([&] { ping->Perform(kPing, 0, 0); });

    TForm* aligned = FormWith(200, alTop);
    aligned->Show();
    Pump();
    bool wide = false;
    const double realignTime = 1e3 * TTiming(31).MedianSeconds([&] {
        // Each round the client area changes, so every control moves or resizes.
        wide = !wide;
        aligned->SetBounds(0, 0, wide ? 1300 : 1200, 800);
    });
    delete aligned;
    Pump();

    const double formTime = 1e3 * TTiming(11).MedianSeconds([&] {
        TForm* form = FormWith(100, alLeft);
        form->Show();
        UpdateWindow(form->Handle());
        Pump();
        delete form;
        Pump();
    });

    std::printf("Perform of a handled message        %8.1f ns   same-thread SendMessageW %8.1f ns\n", performTime,
                sendTime);
    std::printf("Realign of 200 aligned controls     %8.3f ms   (target <= 1 ms)\n", realignTime);
    std::printf("form with 100 controls made, shown and painted %8.2f ms   (target <= 50 ms)\n", formTime);
    std::printf("ratio Perform / SendMessageW: %.2f (target <= 2)\n", performTime / sendTime);
    DestroyWindow(trivial);
    FreeApplication();
    FreeScreen();
    return 0;
}
