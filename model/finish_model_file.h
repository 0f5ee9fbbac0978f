// The end of every model file the plug-in writes: the whole-or-nothing
// file moved into place, or the failure recorded.
#pragma once

#include "base/whole_file_writer.h"
#include "errors/error_record.h"

// Finishes the file (WholeFileWriter::Finish). 1 when the file has its name
// and every byte; 0 with "Could not write" (the temporary file) or "Could
// not replace" (the file's own name) recorded.
int FinishModelFile(WholeFileWriter& file, ErrorRecord& errors);
