#include "framework/document_events.h"

#include "framework/state.h"

#include <vector>

namespace {

struct DocumentSubscribers {
    std::vector<std::function<void(const DocumentChange&)>> value{};
};

std::vector<std::function<void(const DocumentChange&)>>& subscribers()
{
    return session_part<DocumentSubscribers>().value;
}

}  // namespace

void notify_document_changed(DocumentChange change)
{
    // A subscriber may subscribe another: walk over a copy.
    const auto list = subscribers();
    for (const auto& subscriber : list)
        if (subscriber)
            subscriber(change);
}

void subscribe_document_changed(std::function<void(const DocumentChange&)> subscriber)
{
    subscribers().push_back(std::move(subscriber));
}
