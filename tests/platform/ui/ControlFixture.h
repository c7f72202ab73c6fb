#pragma once
// Framework tests with forms: a manual clock, a panel-like container and a
// window-less control that record the messages they get, and the
// application (with every form it owns) freed after each test.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "GeometryPrinters.h"
#include "MessagePump.h"
#include "platform/ui/Application.h"
#include "platform/ui/CustomControl.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"
#include "platform/win/desktop/Desktop.h"

// A left click in the middle of a control, as the desktop delivers it.
inline void ClickOn(TControl* control) {
    const TPoint p = control->ClientToScreen({control->Width() / 2, control->Height() / 2});
    DesktopClick({p.X, p.Y});
}

// Records the messages of the numbers asked for, with their lParam.
struct TMessageLog {
    std::vector<UINT> watched;
    std::vector<std::pair<UINT, LPARAM>> seen;
    void Note(const TMessage& m) {
        if (std::find(watched.begin(), watched.end(), m.Msg) != watched.end()) seen.emplace_back(m.Msg, m.LParam);
    }
    std::vector<UINT> Messages() const {
        std::vector<UINT> result;
        for (const auto& [message, _] : seen) result.push_back(message);
        return result;
    }
};

class TTestPanel : public TCustomControl {
public:
    explicit TTestPanel(TComponent* owner) : TCustomControl(owner) {
        SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
        SetBounds(0, 0, 100, 50);
        SetWindowProc([this](TMessage& m) {
            log.Note(m);
            WndProc(m);
        });
    }
    // The window goes after the log: messages then reach the control directly.
    ~TTestPanel() override { SetWindowProc({}); }
    TMessageLog log;
};

class TTestGraphic : public TGraphicControl {
public:
    explicit TTestGraphic(TComponent* owner) : TGraphicControl(owner) {
        SetBounds(0, 0, 40, 20);
        SetWindowProc([this](TMessage& m) {
            log.Note(m);
            WndProc(m);
        });
    }
    ~TTestGraphic() override { SetWindowProc({}); }
    TMessageLog log;
    TColor fill = clRed;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(fill);
        Canvas()->FillRect(ClientRect());
    }
};

class FormTest : public ManualClockTest {
protected:
    void TearDown() override {
        FreeApplication();
        FreeScreen();
        PumpMessages();
        // The screen the forms made (cursors, fonts) goes too: later tests start without one.
        FreeScreen();
    }
    // A form at the given bounds, built in the loading bracket and shown.
    TForm* ShownForm(TRect bounds) {
        TForm* form = Application().CreateForm<TForm>();
        form->SetBoundsRect(bounds);
        form->Show();
        PumpMessages();
        return form;
    }
};
