#include "framework/outputs_lock.h"

#include "platform/file_lock.h"
#include "platform/file_replace.h"

std::string outputs_lock_path(const std::string& model_path)
{
    return lock_file_path(model_path);
}

std::string outputs_lock_failure_text(const std::string& lock_path, const std::string& reason)
{
    return with_reason("Unable to lock the model file and its results:\n" + lock_path, reason);
}

std::string outputs_busy_text(const std::string& model_path)
{
    return "Another run is writing " + model_path + " and its results";
}
