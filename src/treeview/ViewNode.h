#pragma once
// The node record of the tree: a fixed header, then the tree's internal
// area, then the owner's user area, all in one zero-filled block. Every
// node carries the count and the pixel height of its subtree, so scroll
// ranges and positions need no walk over the nodes.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

// Bit numbers are fixed: the tree stream stores the state word.
enum class TNodeState : uint8_t {
    nsInitialized,
    nsChecking,
    nsCutOrCopy,
    nsDisabled,
    nsDeleting,
    nsExpanded,
    nsHasChildren,
    nsVisible,
    nsSelected,
    nsFreeNotify,
    nsAllChildrenHidden,
    nsClearing,
    nsMultiline,
    nsHeightMeasured,
    nsToggling,
    nsHidden,
};
using enum TNodeState;

// The 16-bit state word of a node. The position-cache worker reads the words
// of the nodes it walks while the GUI thread changes other bits of them, so
// every access outside constant evaluation is a relaxed atomic one (a plain
// move on the processors we build for). Only the GUI thread writes.
class TNodeStates {
public:
    constexpr TNodeStates() noexcept = default;
    constexpr TNodeStates(std::initializer_list<TNodeState> states) noexcept {
        uint16_t bits = 0;
        for (TNodeState s : states) bits = uint16_t(bits | Bit(s));
        Store(bits);
    }
    constexpr TNodeStates(const TNodeStates& other) noexcept { Store(other.Load()); }
    constexpr TNodeStates& operator=(const TNodeStates& other) noexcept {
        Store(other.Load());
        return *this;
    }
    static constexpr TNodeStates FromWord(uint16_t word) noexcept {
        TNodeStates s;
        s.Store(word);
        return s;
    }
    constexpr uint16_t Word() const noexcept { return Load(); }
    constexpr bool Contains(TNodeState s) const noexcept { return (Load() & Bit(s)) != 0; }
    constexpr TNodeStates& Include(TNodeState s) noexcept {
        Store(uint16_t(Load() | Bit(s)));
        return *this;
    }
    constexpr TNodeStates& Exclude(TNodeState s) noexcept {
        Store(uint16_t(Load() & ~Bit(s)));
        return *this;
    }
    constexpr TNodeStates& Set(TNodeState s, bool on) noexcept { return on ? Include(s) : Exclude(s); }
    constexpr bool IsEmpty() const noexcept { return Load() == 0; }
    // Every member of other is also a member here.
    constexpr bool ContainsAll(TNodeStates other) const noexcept {
        const uint16_t wanted = other.Load();
        return (Load() & wanted) == wanted;
    }
    constexpr TNodeStates& operator-=(TNodeStates other) noexcept {
        Store(uint16_t(Load() & ~other.Load()));
        return *this;
    }
    friend constexpr bool operator==(const TNodeStates& a, const TNodeStates& b) noexcept {
        return a.Load() == b.Load();
    }

private:
    static constexpr uint16_t Bit(TNodeState s) noexcept { return uint16_t(1u << unsigned(s)); }
    constexpr uint16_t Load() const noexcept {
        if (std::is_constant_evaluated()) return bits_;
        return std::atomic_ref<uint16_t>(const_cast<uint16_t&>(bits_)).load(std::memory_order_relaxed);
    }
    constexpr void Store(uint16_t bits) noexcept {
        if (std::is_constant_evaluated()) bits_ = bits;
        else std::atomic_ref<uint16_t>(bits_).store(bits, std::memory_order_relaxed);
    }
    alignas(std::atomic_ref<uint16_t>::required_alignment) uint16_t bits_ = 0;
};

enum class TCheckState : uint8_t {
    csUncheckedNormal,
    csUncheckedPressed,
    csCheckedNormal,
    csCheckedPressed,
    csMixedNormal,
    csMixedPressed,
};
using enum TCheckState;

enum class TCheckType : uint8_t { ctNone, ctTriStateCheckBox, ctCheckBox, ctRadioButton, ctButton };
using enum TCheckType;

struct TViewNode {
    uint32_t index;         // position among the siblings
    uint32_t childCount;    // children linked now (0 while they are not made)
    uint16_t nodeHeight;    // own row height
    TNodeStates states;
    uint8_t align;          // vertical place of the lines and button, 0..100
    TCheckState checkState;
    TCheckType checkType;
    uint8_t reserved;
    uint32_t totalCount;    // records in the subtree, the node included
    uint32_t totalHeight;   // own height plus, while expanded, that of every shown child
    TViewNode* parent;      // nil for the hidden root
    TViewNode* prevSibling;
    TViewNode* nextSibling;
    TViewNode* firstChild;
    TViewNode* lastChild;
};
using PViewNode = TViewNode*;

static_assert(sizeof(TViewNode) <= 64, "the node header is one cache line");

// Where the internal and user areas start: right after the header, 8-aligned.
constexpr std::size_t kViewNodeHeaderSize = (sizeof(TViewNode) + 7) & ~std::size_t(7);

// A new node's vertical alignment value.
constexpr uint8_t kDefaultNodeAlign = 50;
// Row heights are 16-bit.
constexpr uint32_t kMaxNodeHeight = 65535;
