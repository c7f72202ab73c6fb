#pragma once
// A growable ring buffer: appending and taking from the front cost no
// allocation once the buffer has reached its working size.

#include <cstddef>
#include <memory>
#include <utility>

template <class T>
class TRing {
public:
    size_t Size() const noexcept { return size_; }
    bool Empty() const noexcept { return size_ == 0; }
    T& operator[](size_t i) noexcept { return items_[(head_ + i) & (capacity_ - 1)]; }
    const T& operator[](size_t i) const noexcept { return items_[(head_ + i) & (capacity_ - 1)]; }
    T& Front() noexcept { return (*this)[0]; }
    T& Back() noexcept { return (*this)[size_ - 1]; }

    void PushBack(T item) {
        if (size_ == capacity_) Grow();
        items_[(head_ + size_) & (capacity_ - 1)] = std::move(item);
        ++size_;
    }
    void PopFront() noexcept {
        items_[head_] = T();
        head_ = (head_ + 1) & (capacity_ - 1);
        --size_;
    }
    // Keeps the order of the others, moving the shorter side.
    void EraseAt(size_t index) noexcept {
        if (index < size_ / 2) {
            for (size_t i = index; i > 0; --i) (*this)[i] = std::move((*this)[i - 1]);
            PopFront();
            return;
        }
        for (size_t i = index; i + 1 < size_; ++i) (*this)[i] = std::move((*this)[i + 1]);
        (*this)[size_ - 1] = T();
        --size_;
    }
    template <class Pred>
    void EraseIf(Pred pred) {
        size_t kept = 0;
        for (size_t i = 0; i < size_; ++i)
            if (!pred((*this)[i])) {
                if (kept != i) (*this)[kept] = std::move((*this)[i]);
                ++kept;
            }
        for (size_t i = kept; i < size_; ++i) (*this)[i] = T();
        size_ = kept;
    }
    void Clear() noexcept {
        while (size_) PopFront();
    }

private:
    void Grow() {
        const size_t capacity = capacity_ ? capacity_ * 2 : 16;
        auto items = std::make_unique<T[]>(capacity);
        for (size_t i = 0; i < size_; ++i) items[i] = std::move((*this)[i]);
        items_ = std::move(items);
        capacity_ = capacity;
        head_ = 0;
    }

    std::unique_ptr<T[]> items_;
    size_t capacity_ = 0, head_ = 0, size_ = 0;
};
