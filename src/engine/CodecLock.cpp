#include "engine/CodecLock.h"

TCriticalSection& CodecLock() {
    static TCriticalSection lock;
    return lock;
}
