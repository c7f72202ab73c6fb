#pragma once
// The GUI thread's waits run in Qt's event loop: a wait with nothing to do
// processes Qt's events (blocking until one comes), with a Qt timer armed for
// the window system's next due time; whatever wakes the thread's queue wakes
// Qt's event dispatcher. Qt's own loop (exec) is never entered.

#include <QTimer>

#include "platform/win/core/WaitHost.h"

class QAbstractEventDispatcher;

class TQtWaitHost : public IWaitHost {
public:
    TQtWaitHost(); // on the thread of the QGuiApplication
    void Wait(bool hasDue, DWORD due) override;
    void Wake() noexcept override;

private:
    QAbstractEventDispatcher* dispatcher_;
    QTimer due_;
};
