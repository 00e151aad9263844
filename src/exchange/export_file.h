// What every exporter shares: the file is written into a temporary file
// beside its target and renamed over it only when every byte was written
// (BinFile), so that a failed export keeps the file that was there before.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

// Lets a caller put its own stream buffer between the writer and the file
// (a test's buffer that fails part way); null keeps the file's own.
using ExportBufferFilter = std::function<std::unique_ptr<std::streambuf>(std::streambuf* file_buffer)>;

// Writes the file at `path` through `write`, which writes the text with "\n"
// line ends. Throws "Unable to open export file:\n<path>" when the temporary
// file cannot be made (or the target is read-only) and "Unable to write
// export file:\n<path>" when a write, the close or the rename fails, each
// with the system's reason on a line after it when there is one; the target
// is then as it was. A message text that `write` throws passes through, the
// target untouched.
void write_export_file(const std::string& path, const std::function<void(std::ostream&)>& write,
                       const ExportBufferFilter& filter = {},
                       const std::string& open_message = "Unable to open export file:\n");
