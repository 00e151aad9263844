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

#include <memory>
#include <type_traits>
#include <unordered_map>
#include <utility>

// A set of parts, one per type.
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
        std::unique_ptr<Part>& slot = parts_[key<T>()];
        if (!slot)
            slot = std::make_unique<Holder<T>>();
        return static_cast<Holder<T>&>(*slot).value;
    }
    // Null while the part has not been made.
    template <typename T>
    T* find()
    {
        auto it = parts_.find(key<T>());
        return it == parts_.end() ? nullptr : &static_cast<Holder<T>&>(*it->second).value;
    }
    // Drops every part (their destructors run).
    void clear() { parts_.clear(); }
    std::size_t size() const { return parts_.size(); }

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
    // One address per type: the key of its part.
    template <typename T>
    static const void* key()
    {
        static constexpr char tag = 0;
        return &tag;
    }
    void copy_from(const PartSet& other)
    {
        for (const auto& [k, part] : other.parts_)
            parts_[k] = part->clone();
    }

    std::unordered_map<const void*, std::unique_ptr<Part>> parts_;
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
