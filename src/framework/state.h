// Program state held in one place: the document (document.h) and the session
// (everything else a run changes: window objects and what they remember, hooks,
// factories, registries). Each is a set of parts, one object per type, made
// at first use; reset_all() drops them all, so that the program is as it was
// at start-up. There is no other mutable state at namespace scope.
//
// A part is any default-constructible class. Give each its own type (not a
// bare int or string), since the type is the key:
//
//   struct FindNodeState { int node = 0; std::string text; };
//   FindNodeState& find_node_state() { return session_part<FindNodeState>(); }
//
// Parts are reached from the main thread only.
#pragma once

#include "framework/errors.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

// A set of parts, one per type. A part is found by its type's number, an
// index into the set's slots: the many look-ups of a report or a table cost
// an index, not a hash.
class PartSet {
public:
    PartSet() = default;
    PartSet(PartSet&&) = default;
    PartSet& operator=(PartSet&&) = default;
    // A deep copy: every part is copied by its copy constructor (document
    // parts are copyable; a set whose parts are not cannot be copied).
    PartSet(const PartSet& other) { copy_from(other); }
    PartSet& operator=(const PartSet& other)
    {
        if (this != &other) {
            parts_.clear();
            copy_from(other);
        }
        return *this;
    }

    // The part of type T, made (value-initialised) at first use.
    template <typename T>
    T& get()
    {
        const std::size_t k = key<T>();
        if (k >= parts_.size() || !parts_[k]) {
            // Made before its slot is taken: making it may make other parts,
            // which may add slots.
            std::unique_ptr<Part> made = std::make_unique<Holder<T>>();
            if (k >= parts_.size())
                parts_.resize(k + 1);
            parts_[k] = std::move(made);
        }
        return static_cast<Holder<T>&>(*parts_[k]).value;
    }
    // Null while the part has not been made.
    template <typename T>
    T* find()
    {
        const std::size_t k = key<T>();
        return k < parts_.size() && parts_[k] ? &static_cast<Holder<T>&>(*parts_[k]).value : nullptr;
    }
    // Drops every part (their destructors run).
    void clear() { parts_.clear(); }
    // The number of parts made.
    std::size_t size() const
    {
        std::size_t n = 0;
        for (const std::unique_ptr<Part>& p : parts_)
            n += p ? 1 : 0;
        return n;
    }

private:
    struct Part {
        virtual ~Part() = default;
        virtual std::unique_ptr<Part> clone() const = 0;
    };
    template <typename T>
    struct Holder final : Part {
        T value{};
        Holder() = default;
        explicit Holder(const T& v) : value(v) {}
        std::unique_ptr<Part> clone() const override
        {
            if constexpr (std::is_copy_constructible_v<T>) {
                return std::make_unique<Holder<T>>(value);
            } else {
                KV_ASSERT(!"a part of this set cannot be copied");
                return nullptr;
            }
        }
    };
    // The number of a type, given at its first look-up, the same for every
    // set: the key of its part.
    static std::size_t next_key()
    {
        static std::atomic<std::size_t> count{0};
        return count++;
    }
    template <typename T>
    static std::size_t key()
    {
        static const std::size_t k = next_key();
        return k;
    }
    void copy_from(const PartSet& other)
    {
        parts_.resize(other.parts_.size());
        for (std::size_t k = 0; k < other.parts_.size(); ++k)
            if (other.parts_[k])
                parts_[k] = other.parts_[k]->clone();
    }

    std::vector<std::unique_ptr<Part>> parts_;
};

// The session's parts: window objects and their memory, hooks, factories,
// registries, program flags.
PartSet& session();
template <typename T>
T& session_part()
{
    return session().get<T>();
}

// Puts everything a test can touch back as it was at start-up: the session's
// parts, the document, the assertion and debug switches, the current
// rotation, and the platform's installed backend (with its settings store in
// memory) and print service. Every layer keeps its state in parts, so no
// layer needs a reset of its own here.
void reset_all();
