#include "analysis_core/element_kinds.h"

#include "framework/errors.h"
#include "framework/state.h"

namespace {

struct ElementKindRegistry {
    ElementKindTable table{};
};

ElementKindTable& registry()
{
    return session_part<ElementKindRegistry>().table;
}

}  // namespace

void register_element_kind(int kind, ElementKind functions)
{
    KV_ASSERT(kind >= 0 && kind <= MAX_ETYPE);
    registry()[static_cast<std::size_t>(kind)] = std::move(functions);
}

const ElementKindTable& element_kind_table()
{
    return registry();
}
