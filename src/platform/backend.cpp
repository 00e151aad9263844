#include "platform/backend.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
std::unique_ptr<Backend> installed;
// Worker threads reach the backend only to post; they read this pointer.
std::atomic<Backend*> current{nullptr};
}  // namespace

Backend& backend() {
    Backend* b = current.load();
    if (!b) {
        std::fputs("Korvane: no platform backend installed\n", stderr);
        std::abort();
    }
    return *b;
}

bool backend_installed() { return current.load() != nullptr; }

void install_backend(std::unique_ptr<Backend> b) {
    current.store(b.get());
    installed = std::move(b);
}

void remove_backend() {
    current.store(nullptr);
    installed.reset();
}

// ---------------------------------------------------------------------------

namespace {

void put_int32(std::vector<uint8_t>& out, int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

int32_t get_int32(const std::vector<uint8_t>& in, size_t at) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(in[at + static_cast<size_t>(i)]) << (8 * i);
    return static_cast<int32_t>(u);
}

constexpr size_t PLACEMENT_BYTES = 44;

}  // namespace

std::vector<uint8_t> WindowPlacement::to_bytes() const {
    std::vector<uint8_t> out;
    out.reserve(PLACEMENT_BYTES);
    for (int32_t v : {length, flags, show_cmd, min_x, min_y, max_x, max_y, left, top, right, bottom})
        put_int32(out, v);
    return out;
}

std::optional<WindowPlacement> WindowPlacement::from_bytes(const std::vector<uint8_t>& bytes) {
    if (bytes.size() != PLACEMENT_BYTES) return std::nullopt;
    if (get_int32(bytes, 0) != static_cast<int32_t>(PLACEMENT_BYTES)) return std::nullopt;
    WindowPlacement p;
    int32_t* fields[] = {&p.length, &p.flags, &p.show_cmd, &p.min_x, &p.min_y, &p.max_x,
                         &p.max_y,  &p.left,  &p.top,      &p.right, &p.bottom};
    for (size_t i = 0; i < 11; ++i) *fields[i] = get_int32(bytes, 4 * i);
    return p;
}
