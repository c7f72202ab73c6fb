#include "platform/win/backend/qt/QtWaitHost.h"

#include <algorithm>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include "platform/rtl/Clock.h"
#include "platform/win/core/Ticks.h"

TQtWaitHost::TQtWaitHost() : dispatcher_(QAbstractEventDispatcher::instance()) {
    due_.setSingleShot(true);
    due_.setTimerType(Qt::PreciseTimer);
}

void TQtWaitHost::Wait(bool hasDue, DWORD due) {
    // A manual clock wakes the queue itself when it moves.
    const bool timed = hasDue && !IsClockManual();
    if (timed) due_.start(std::max(int32_t(due - TickNow()), 0));
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    if (timed) due_.stop();
}

void TQtWaitHost::Wake() noexcept { dispatcher_->wakeUp(); }
