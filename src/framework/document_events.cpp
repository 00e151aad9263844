#include "framework/document_events.h"

#include "framework/state.h"

#include <vector>

namespace {

struct Subscriber {
    std::string name;
    std::function<void(const DocumentChange&)> call;
};
struct DocumentSubscribers {
    std::vector<Subscriber> value{};
};

std::vector<Subscriber>& subscribers()
{
    return session_part<DocumentSubscribers>().value;
}

}  // namespace

void notify_document_changed(DocumentChange change)
{
    // A subscriber may subscribe another: walk over a copy.
    const std::vector<Subscriber> list = subscribers();
    for (const Subscriber& subscriber : list)
        if (subscriber.call)
            subscriber.call(change);
}

void subscribe_document_changed(const std::string& name, std::function<void(const DocumentChange&)> subscriber)
{
    for (Subscriber& s : subscribers()) {
        if (s.name == name) {
            s.call = std::move(subscriber);
            return;
        }
    }
    subscribers().push_back({name, std::move(subscriber)});
}
