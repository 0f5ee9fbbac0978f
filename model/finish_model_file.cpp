#include "model/finish_model_file.h"

#include "errors/messages.h"

int FinishModelFile(WholeFileWriter& file, ErrorRecord& errors) {
  switch (file.Finish()) {
    case WholeFileWriter::kWritten:
      return 1;
    case WholeFileWriter::kNotWritten:
      errors.RecordErrorFormat(kCannotWrite.caption, kCannotWrite.text,
                               file.temporaryPath().c_str());
      return 0;
    case WholeFileWriter::kNotMoved:
      errors.RecordErrorFormat(kCannotReplace.caption, kCannotReplace.text, file.path().c_str());
      return 0;
  }
  return 0;
}
