// A file written whole or not at all. It is written under a temporary name
// beside its own (TemporaryFileName: the name with ".part" appended) and
// takes its own name only when every write, the close and the rename
// succeeded. Otherwise the temporary file is removed, and a file that had
// the name before is left as it was: a failed write never leaves a short
// file, nor destroys a good one.
//
//   WholeFileWriter file("out/tris.pcx");
//   if (!file.opened()) ...
//   file.out().U8(10); ...
//   if (file.Finish() != WholeFileWriter::kWritten) ...
#pragma once

#include <memory>
#include <string>

#include "base/little_endian_file.h"

class WholeFileWriter {
 public:
  enum Result {
    kWritten,     // the file has its name and every byte
    kNotWritten,  // not opened, or a write or the close failed
    kNotMoved,    // written, but the rename into place failed
  };

  // Creates the temporary file with "wb" and a large buffer.
  explicit WholeFileWriter(std::string path);
  // A file not finished is closed and its temporary file removed.
  ~WholeFileWriter();
  WholeFileWriter(const WholeFileWriter&) = delete;
  WholeFileWriter& operator=(const WholeFileWriter&) = delete;

  bool opened() const { return file_ != nullptr; }
  LittleEndianWriter& out() { return out_; }
  const std::string& path() const { return path_; }
  const std::string& temporaryPath() const { return temporary_; }

  // Flushes, closes and moves the file into place (replacing a file of
  // that name). After a failure nothing of this writer is left on disk.
  Result Finish();

 private:
  std::string path_;
  std::string temporary_;
  std::unique_ptr<LargeFileBuffer> buffer_;  // outlives file_
  std::FILE* file_;
  LittleEndianWriter out_;
};
