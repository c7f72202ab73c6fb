#pragma once
// TSet<E>: a set of enumeration values 0..255 (or of a subrange declared
// with RTL_SUBRANGE), the bit set behind option and state sets. TSetBits is its untyped layout (value v is bit v), which type
// information uses to read and write any set.

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include "platform/rtl/Exceptions.h"

namespace rtl_detail {
// An ordinal's number: char (and enumerations over char) count 0..255.
template <class T>
constexpr int64_t OrdinalNumber(T v) noexcept {
    if constexpr (std::is_enum_v<T>) return OrdinalNumber(static_cast<std::underlying_type_t<T>>(v));
    else if constexpr (std::is_same_v<T, char>) return static_cast<unsigned char>(v);
    else return static_cast<int64_t>(v);
}
} // namespace rtl_detail

struct TSetBits {
    static constexpr int Capacity = 256;
    uint64_t Words[Capacity / 64] = {};

    constexpr bool Contains(int v) const noexcept {
        return v >= 0 && v < Capacity && (Words[v >> 6] >> (v & 63) & 1) != 0;
    }
    constexpr void Include(int v) { Words[CheckedIndex(v) >> 6] |= uint64_t(1) << (v & 63); }
    constexpr void Exclude(int v) { Words[CheckedIndex(v) >> 6] &= ~(uint64_t(1) << (v & 63)); }
    constexpr bool IsEmpty() const noexcept { return (Words[0] | Words[1] | Words[2] | Words[3]) == 0; }
    constexpr int Count() const noexcept {
        int n = 0;
        for (uint64_t w : Words) n += std::popcount(w);
        return n;
    }
    friend constexpr bool operator==(const TSetBits&, const TSetBits&) = default;

private:
    static constexpr int CheckedIndex(int v) {
        if (v < 0 || v >= Capacity) throw ERangeError("Range check error");
        return v;
    }
};

template <class E>
class TSet {
    static_assert(std::is_enum_v<E>, "TSet holds enumeration values");

public:
    using value_type = E;

    constexpr TSet() noexcept = default;
    constexpr TSet(std::initializer_list<E> values) {
        for (E v : values) Include(v);
    }
    static constexpr TSet FromBits(const TSetBits& bits) noexcept {
        TSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr const TSetBits& Bits() const noexcept { return bits_; }

    constexpr bool Contains(E v) const noexcept { return bits_.Contains(Index(v)); }
    constexpr TSet& Include(E v) {
        bits_.Include(Index(v));
        return *this;
    }
    constexpr TSet& Exclude(E v) {
        bits_.Exclude(Index(v));
        return *this;
    }
    constexpr bool IsEmpty() const noexcept { return bits_.IsEmpty(); }
    constexpr int Count() const noexcept { return bits_.Count(); }

    // The members in ascending order.
    class Iterator {
    public:
        constexpr Iterator(const TSetBits* bits, int from) noexcept : bits_(bits), v_(Next(bits, from)) {}
        constexpr E operator*() const noexcept { return static_cast<E>(v_); }
        constexpr Iterator& operator++() noexcept {
            v_ = Next(bits_, v_ + 1);
            return *this;
        }
        constexpr bool operator==(const Iterator& o) const noexcept { return v_ == o.v_; }

    private:
        static constexpr int Next(const TSetBits* bits, int v) noexcept {
            while (v < TSetBits::Capacity) {
                const uint64_t rest = bits->Words[v >> 6] >> (v & 63);
                if (rest) return v + std::countr_zero(rest);
                v = (v | 63) + 1;
            }
            return TSetBits::Capacity;
        }
        const TSetBits* bits_;
        int v_;
    };
    constexpr Iterator begin() const noexcept { return Iterator(&bits_, 0); }
    constexpr Iterator end() const noexcept { return Iterator(&bits_, TSetBits::Capacity); }

    constexpr TSet& operator+=(const TSet& o) noexcept { return Combine(o, [](uint64_t a, uint64_t b) { return a | b; }); }
    constexpr TSet& operator-=(const TSet& o) noexcept { return Combine(o, [](uint64_t a, uint64_t b) { return a & ~b; }); }
    constexpr TSet& operator*=(const TSet& o) noexcept { return Combine(o, [](uint64_t a, uint64_t b) { return a & b; }); }
    friend constexpr TSet operator+(TSet a, const TSet& b) noexcept { return a += b; }
    friend constexpr TSet operator-(TSet a, const TSet& b) noexcept { return a -= b; }
    friend constexpr TSet operator*(TSet a, const TSet& b) noexcept { return a *= b; }
    friend constexpr bool operator==(const TSet&, const TSet&) = default;
    // Subset and superset.
    friend constexpr bool operator<=(const TSet& a, const TSet& b) noexcept { return (a - b).IsEmpty(); }
    friend constexpr bool operator>=(const TSet& a, const TSet& b) noexcept { return b <= a; }

private:
    static constexpr int Index(E v) noexcept {
        const int64_t n = rtl_detail::OrdinalNumber(v);
        return n >= 0 && n < TSetBits::Capacity ? static_cast<int>(n) : -1;
    }

    template <class Op>
    constexpr TSet& Combine(const TSet& o, Op op) noexcept {
        for (int i = 0; i < 4; ++i) bits_.Words[i] = op(bits_.Words[i], o.bits_.Words[i]);
        return *this;
    }

    TSetBits bits_;
};
