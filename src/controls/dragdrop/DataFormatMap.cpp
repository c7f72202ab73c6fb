#include "controls/dragdrop/DataFormatMap.h"

#include <algorithm>
#include <cstdio>

#include "controls/dragdrop/DragDropUnits.h"
#include "platform/rtl/ClassInfo.h"

namespace {

struct TDragDropProcessState {
    std::unique_ptr<TDataFormatMap> map;
    std::unique_ptr<TDataFormatClasses> classes;
    int starts = 0;
    bool shuttingDown = false;
    bool oleStarted = false;
};

TDragDropProcessState& DragDropState() {
    static TDragDropProcessState state;
    return state;
}

void NoteRecreatedDuringShutdown(const char* what) {
    std::fprintf(stderr, "DragDrop.%s recreated during shutdown\n", what);
}

} // namespace

TDataFormatMap& TDataFormatMap::Instance() {
    TDragDropProcessState& state = DragDropState();
    if (!state.map) {
        if (state.shuttingDown) NoteRecreatedDuringShutdown("TDataFormatMap");
        state.map = std::make_unique<TDataFormatMap>();
    }
    return *state.map;
}

void TDataFormatMap::Add(const TEntry& added) {
    auto found = std::find_if(entries_.begin(), entries_.end(), [&](const TEntry& e) {
        return e.dataFormatClass->InheritsFrom(added.dataFormatClass) &&
               e.clipboardFormatClass->InheritsFrom(added.clipboardFormatClass);
    });
    TEntry entry = added;
    if (found == entries_.end()) {
        entry.priority = 0;
    } else {
        entry = *found;
        entry.capabilities += added.capabilities;
        entries_.erase(found);
    }
    if (added.capabilities.Contains(ccReadFromDataFormat)) entry.priority = added.priority;

    // Behind the entries of the same data format whose priority is not higher.
    ptrdiff_t k = static_cast<ptrdiff_t>(entries_.size()) - 1;
    while (k >= 0 && entries_[static_cast<size_t>(k)].dataFormatClass != entry.dataFormatClass) --k;
    if (k < 0) {
        entries_.push_back(entry);
        return;
    }
    while (k >= 0 && entries_[static_cast<size_t>(k)].dataFormatClass == entry.dataFormatClass &&
           entries_[static_cast<size_t>(k)].priority >= entry.priority)
        --k;
    entries_.insert(entries_.begin() + (k + 1), entry);
}

void TDataFormatMap::GetClipboardFormats(TClass dataFormatClass, TClipboardFormats& formats,
                                         TDragDropTier tier) const {
    formats.Clear();
    for (const TEntry& entry : entries_) {
        if (!entry.dataFormatClass->InheritsFrom(dataFormatClass)) continue;
        const bool qualifies =
            tier == ddtSource
                ? entry.capabilities.Contains(ccReadFromDataFormat) || entry.clipboardDirection.Contains(ddWrite)
                : entry.capabilities.Contains(ccWriteToDataFormat) || entry.clipboardDirection.Contains(ddRead);
        if (qualifies) formats.Add(entry.create());
    }
}

TDataFormatClasses& TDataFormatClasses::Instance() {
    TDragDropProcessState& state = DragDropState();
    if (!state.classes) {
        if (state.shuttingDown) NoteRecreatedDuringShutdown("TDataFormatClasses");
        state.classes = std::make_unique<TDataFormatClasses>();
    }
    return *state.classes;
}

void TDataFormatClasses::Add(TClass dataFormatClass) {
    if (std::find(classes_.begin(), classes_.end(), dataFormatClass) == classes_.end())
        classes_.push_back(dataFormatClass);
}

void TDataFormatClasses::Remove(TClass dataFormatClass) { std::erase(classes_, dataFormatClass); }

bool DragDropShuttingDown() noexcept { return DragDropState().shuttingDown; }

void StartDragDropUnits() {
    TDragDropProcessState& state = DragDropState();
    if (state.starts++ > 0) return;
    state.shuttingDown = false;
    state.oleStarted = Succeeded(OleInitialize(nullptr));
    RegisterDragDropFormats();
}

void StopDragDropUnits() {
    TDragDropProcessState& state = DragDropState();
    if (state.starts == 0 || --state.starts > 0) return;
    state.shuttingDown = true;
    state.map.reset();
    state.classes.reset();
    if (state.oleStarted) OleUninitialize();
    state.oleStarted = false;
}
