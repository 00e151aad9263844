// Arrays indexed from 1, so that code and file records read like the rules
// they implement: slot 0 exists but is never used, and the count is the last
// valid index. The index is checked in debug builds through the assertion
// handler.
#pragma once

#include "framework/errors.h"

#include <cstddef>
#include <utility>
#include <vector>

template <typename T>
class OneBased {
public:
    OneBased() : items_(1) {}
    explicit OneBased(int count) : items_(static_cast<std::size_t>(count < 0 ? 0 : count) + 1) {}

    // The number of used slots (the last valid index).
    int size() const { return static_cast<int>(items_.size()) - 1; }
    bool empty() const { return items_.size() <= 1; }

    T& operator[](int index)
    {
        check(index);
        return items_[static_cast<std::size_t>(index)];
    }
    const T& operator[](int index) const
    {
        check(index);
        return items_[static_cast<std::size_t>(index)];
    }
    // True when index names a used slot.
    bool valid(int index) const { return index >= 1 && index <= size(); }

    T& back() { return (*this)[size()]; }
    const T& back() const { return (*this)[size()]; }

    // Appends and returns the index of the new slot.
    int push_back(T value)
    {
        items_.push_back(std::move(value));
        return size();
    }
    // Inserts before slot `index` (1..size()+1); later slots move up by one.
    void insert(int index, T value)
    {
        KV_ASSERT(index >= 1 && index <= size() + 1);
        items_.insert(items_.begin() + index, std::move(value));
    }
    // Removes slot `index`; later slots move down by one.
    void erase(int index)
    {
        check(index);
        items_.erase(items_.begin() + index);
    }
    // Slots 1..count; new slots are value-initialised.
    void resize(int count) { items_.resize(static_cast<std::size_t>(count < 0 ? 0 : count) + 1); }
    void reserve(int count) { items_.reserve(static_cast<std::size_t>(count < 0 ? 0 : count) + 1); }
    void clear() { items_.erase(items_.begin() + 1, items_.end()); }

    // The storage from slot 0 (size() + 1 items), for code that indexes
    // from 1 through a pointer or a span.
    const T* data() const { return items_.data(); }
    T* data() { return items_.data(); }

    // Iteration over the used slots 1..size().
    auto begin() { return items_.begin() + 1; }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin() + 1; }
    auto end() const { return items_.end(); }

private:
    void check([[maybe_unused]] int index) const
    {
#ifndef NDEBUG
        KV_ASSERT(index >= 1 && index <= size());
#endif
    }

    std::vector<T> items_;
};
