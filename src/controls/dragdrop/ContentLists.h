#pragma once
// Small owning lists used by the file-content formats: named streams, named
// interface references and memory blocks.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/Interfaces.h"
#include "platform/rtl/Stream.h"
#include "platform/rtl/String.h"
#include "platform/ui/Events.h"

// Names with the streams they own; OnChanging fires before every change.
class TStreamList {
public:
    void AddNamed(std::unique_ptr<TStream> stream, const String& name);
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    const String& Names(int index) const { return items_.at(static_cast<size_t>(index)).name; }
    TStream& operator[](int index) const { return *items_.at(static_cast<size_t>(index)).stream; }
    // Frees every stream.
    void Clear();
    // Takes Source's names and streams over and leaves Source empty.
    void Assign(TStreamList& source);

    TNotifyEvent OnChanging;

private:
    struct TNamedStream {
        String name;
        std::unique_ptr<TStream> stream;
    };
    void Changing();

    std::vector<TNamedStream> items_;
};

// Names with the interface references they hold; OnChanging fires before
// every change. Storages travel as such references.
class TNamedInterfaceList {
public:
    void AddNamed(TIntfPtr<IInterface> item, const String& name);
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    const String& Names(int index) const { return items_.at(static_cast<size_t>(index)).name; }
    // A new reference to item Index.
    TIntfPtr<IInterface> operator[](int index) const { return items_.at(static_cast<size_t>(index)).item; }
    void Clear();

    TNotifyEvent OnChanging;

private:
    struct TNamedItem {
        String name;
        TIntfPtr<IInterface> item;
    };
    void Changing();

    std::vector<TNamedItem> items_;
};

using TStorageInterfaceList = TNamedInterfaceList;

// Memory blocks it owns.
class TMemoryList {
public:
    using TBlock = std::vector<uint8_t>;
    int Add(TBlock block);
    void Delete(int index);
    // From the last block to the first.
    void Clear();
    int Count() const noexcept { return static_cast<int>(blocks_.size()); }
    TBlock& operator[](int index) { return blocks_.at(static_cast<size_t>(index)); }
    const TBlock& operator[](int index) const { return blocks_.at(static_cast<size_t>(index)); }

private:
    std::vector<TBlock> blocks_;
};
