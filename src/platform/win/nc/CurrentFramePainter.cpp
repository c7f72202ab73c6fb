#include "platform/win/nc/CurrentFramePainter.h"

#include <mutex>

#include "platform/win/gdi/ClassicFramePainter.h"

namespace {

std::mutex painterMutex;

std::shared_ptr<IFramePainter>& CurrentPainter() {
    static auto* painter = new std::shared_ptr<IFramePainter>(ClassicFramePainter());
    return *painter;
}

} // namespace

void SetFramePainter(std::shared_ptr<IFramePainter> painter) {
    std::lock_guard lock(painterMutex);
    CurrentPainter() = std::move(painter);
}

std::shared_ptr<IFramePainter> FramePainter() {
    std::lock_guard lock(painterMutex);
    return CurrentPainter();
}
