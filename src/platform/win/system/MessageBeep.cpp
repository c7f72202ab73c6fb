#include "platform/win/system/MessageBeep.h"

#include <mutex>
#include <utility>

namespace {

std::mutex beepsMutex;
std::vector<UINT> beeps;

} // namespace

BOOL MessageBeep(UINT type) {
    std::lock_guard lock(beepsMutex);
    beeps.push_back(type);
    return TRUE;
}

std::vector<UINT> TakeMessageBeeps() {
    std::lock_guard lock(beepsMutex);
    return std::exchange(beeps, {});
}
