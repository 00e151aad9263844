// The document: everything a model file holds and the program edits, in one
// object reached through document(), with one reset (reset_all, or
// reset_document for a new model). The framework's own parts are plain fields;
// each higher layer keeps its part of the document as a part of `parts`
// (the model core, the analysis options, the named sets, ...), so that this
// layer never names their types:
//
//   struct PropertySets { NamedSet<PipeMaterial> pipe_materials; ... };
//   PropertySets& property_sets() { return document().part<PropertySets>(); }
//
// A document part is copyable, and its copy shares nothing with the original,
// so that a copy of the whole document can be taken for an analysis.
#pragma once

#include "framework/qa_block.h"
#include "framework/state.h"
#include "framework/unit_choices.h"
#include "platform/file_stamp.h"

#include <string>

struct Document {
    // Set by every stored change of the document (the model, or the library
    // or qualification data set shown instead); cleared by saving and reading.
    bool modified = false;
    // The model file; empty for an untitled model.
    std::string path;
    // The model file as this program last read or wrote it, and its version
    // on disk then: another process may put another model under the name.
    std::string stamped_path;
    FileStamp stamp;
    // The unit chosen for each quantity.
    UnitChoices units{};
    // The quality-assurance block.
    QABlock qa;
    // The parts of the higher layers.
    PartSet parts;

    template <typename T>
    T& part()
    {
        return parts.get<T>();
    }
};

Document& document();
// A fresh, empty document.
void reset_document();

inline bool& model_modified() { return document().modified; }
inline std::string& model_file_path() { return document().path; }
// Called when the model was read from a file or written to it.
inline void remember_model_file(const std::string& path, const FileStamp& stamp)
{
    document().stamped_path = path;
    document().stamp = stamp;
}
// True when the file under model_file_path is known not to be the one this
// program last read or wrote there (it has been replaced since, or is gone),
// so that the model in memory is not that file's model; false when it is, or
// when nothing was read or written under that path.
bool model_file_replaced();
