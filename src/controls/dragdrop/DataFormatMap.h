#pragma once
// The process-wide map of which clipboard formats can fill (or be filled
// from) which data formats, with a priority: a data format tries its
// clipboard formats lowest priority first, and among equal priorities the
// one registered last first.

#include <cstdint>
#include <memory>
#include <vector>

#include "controls/dragdrop/ClipboardFormat.h"

class TDataFormatMap {
public:
    struct TEntry {
        TClass dataFormatClass;
        TClass clipboardFormatClass;
        int32_t priority;
        TConversionCapabilities capabilities;
        TDataDirections clipboardDirection;
        std::unique_ptr<TClipboardFormat> (*create)();
    };

    // The process's map, made on first use (also after shutdown has begun,
    // which the debug log notes).
    static TDataFormatMap& Instance();

    template <class D, class C>
    void Add(int32_t priority, TConversionCapabilities capabilities) {
        Add(TEntry{D::StaticClass(), C::StaticClass(), priority, capabilities, C::DataDirection(),
                   [] { return std::unique_ptr<TClipboardFormat>(std::make_unique<C>()); }});
    }
    void Add(const TEntry& entry);
    // New instances of the qualifying clipboard formats of DataFormatClass
    // (and its ancestors' entries that it descends from), in map order.
    void GetClipboardFormats(TClass dataFormatClass, TClipboardFormats& formats, TDragDropTier tier) const;
    const std::vector<TEntry>& Entries() const noexcept { return entries_; }

private:
    std::vector<TEntry> entries_;
};

// The registered data format classes of the process.
class TDataFormatClasses {
public:
    static TDataFormatClasses& Instance();
    void Add(TClass dataFormatClass);
    void Remove(TClass dataFormatClass);
    const std::vector<TClass>& Classes() const noexcept { return classes_; }

private:
    std::vector<TClass> classes_;
};

// Declaring conversions, as the units' start-up does; nothing once the
// drag-and-drop units are shutting down.
template <class D>
void RegisterDataFormat();
template <class D, class C>
void AddConversion(int32_t priority, TConversionCapabilities capabilities = {ccWriteToDataFormat, ccReadFromDataFormat});
// A clipboard format that can only be read into D.
template <class D, class C>
void AddReadConversion() {
    AddConversion<D, C>(0x7FFFFFFF, {ccWriteToDataFormat});
}

// The units' start (counted): OLE on the starting thread and every format's
// registration, in unit order. The last stop marks the shutdown, frees the
// map and the class list and ends OLE when it had started.
void StartDragDropUnits();
void StopDragDropUnits();
bool DragDropShuttingDown() noexcept;

template <class D>
void RegisterDataFormat() {
    if (DragDropShuttingDown()) return;
    TDataFormatClasses::Instance().Add(D::StaticClass());
    D::DeclareConversions();
}

template <class D, class C>
void AddConversion(int32_t priority, TConversionCapabilities capabilities) {
    if (DragDropShuttingDown()) return;
    TDataFormatMap::Instance().Add<D, C>(priority, capabilities);
}
