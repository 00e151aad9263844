// The document-changed notification: the one way a change of the document
// reaches the tables and views. Data modules notify; the window layers
// subscribe when they are installed. Data never calls a window directly.
#pragma once

#include <functional>
#include <string>

struct DocumentChange {
    enum Kind {
        // Records were edited, renamed, appended or removed: tables and views
        // show the document again.
        Edited,
        // A part of the document was emptied (a new model, or a model file
        // without that part): what windows hold half-typed for it goes too.
        Cleared,
    };
    Kind kind = Edited;
    // The model-file section of the part that was cleared; 0 with Edited.
    int part = 0;
};

// Calls every subscriber in the order they subscribed.
void notify_document_changed(DocumentChange change = {});
// Adds a subscriber under a name, or replaces the one of that name (a module
// installed again subscribes once); it stays until reset_all.
void subscribe_document_changed(const std::string& name, std::function<void(const DocumentChange&)> subscriber);
