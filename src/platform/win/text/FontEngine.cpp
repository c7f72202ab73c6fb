#include "platform/win/text/FontEngine.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "platform/win/text/BuiltinFaces.h"

namespace {

std::mutex engineMutex;
std::atomic<uint32_t> generation{1};

std::shared_ptr<IFontEngine>& CurrentEngine() {
    static auto* engine = new std::shared_ptr<IFontEngine>;
    return *engine;
}

} // namespace

void SetFontEngine(std::shared_ptr<IFontEngine> engine) {
    std::lock_guard lock(engineMutex);
    CurrentEngine() = std::move(engine);
    ++generation;
}

std::shared_ptr<IFontEngine> FontEngine() {
    std::lock_guard lock(engineMutex);
    return CurrentEngine();
}

uint32_t FontEngineGeneration() noexcept { return generation.load(std::memory_order_acquire); }

std::shared_ptr<IFontFace> ResolveFace(const TFontRequest& request) {
    if (SameText(request.face, kTestFaceName)) return TestFace();
    if (SameText(request.face, kSymbolFaceName)) {
        constexpr int kLargestSymbol = 512;
        return SymbolFace(std::clamp(request.cellHeight > 0 ? request.cellHeight : request.emHeight, 1, kLargestSymbol));
    }
    if (const auto engine = FontEngine()) return engine->Resolve(request);
    return TestFace();
}
