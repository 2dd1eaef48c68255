// The bytes layer's record writer: writes the buffer out and keeps only whole records after a
// failed write.

#include "record_writer.h"

#include <algorithm>

namespace conversion {

namespace {

// Writes all of data, again after an interruption and on for the rest after a
// short write; done counts the bytes written, a failure's included.
std::error_code WriteAll(platform::File& file, const char* data, std::size_t size,
                         std::size_t& done) {
  done = 0;
  while (done < size) {
    std::size_t n = 0;
    const std::error_code error = file.Write(data + done, size - done, n);
    done += n;
    if (error && error != std::errc::interrupted) return error;
  }
  return {};
}

}  // namespace

RecordWriter::RecordWriter(platform::File& file, std::size_t block, std::uint64_t writeBack)
    : file_(file), block_(block), buffer_(block), writeBack_(writeBack) {}

bool RecordWriter::Flush() {
  if (result_.error) return false;
  std::size_t done = 0;
  if (const std::error_code error = WriteAll(file_, buffer_.data(), used_, done)) {
    result_.error = error;
    KeepWholeRecords(done);
    return false;
  }
  written_ += done;
  result_.records += pending_;
  pending_ = 0;
  used_ = 0;
  if (written_ - started_ >= writeBack_) StartWriteBack();
  return true;
}

void RecordWriter::StartWriteBack() {
  file_.StartWriteBack(started_, written_ - started_);
  // Waiting for the bytes started the time before would stop the run when the
  // device falls behind; those still on their way stay in the cache.
  if (dropped_ < started_) file_.DropWritten(dropped_, started_ - dropped_);
  dropped_ = started_;
  started_ = written_;
}

void RecordWriter::KeepWholeRecords(std::size_t done) {
  const std::string_view landed(buffer_.data(), done);
  const std::size_t lastEnd = landed.rfind('\n');
  if (lastEnd != std::string_view::npos) {
    result_.records += static_cast<std::uint64_t>(std::count(landed.begin(), landed.end(), '\n'));
    written_ += lastEnd + 1;
  }
  // A file that cannot be cut may keep a part of a record at its end.
  if (file_.Truncate(written_)) result_.unsure = true;
  pending_ = 0;
  used_ = 0;
}

const WriteResult& RecordWriter::Finish() {
  if (finished_) return result_;
  finished_ = true;
  const bool whole = Flush();
  // The whole records kept after a failed write are renamed to marigold.txt
  // too, so they are moved onto the device as every record is.
  std::error_code error;
  do {
    error = file_.Sync();
  } while (error == std::errc::interrupted);
  result_.flushed = !error;
  if (error) {
    static_cast<void>(file_.Close());  // the refused flush is the one to report
    result_.error = error;
    result_.unsure = true;
    return result_;
  }
  if (!whole) {
    static_cast<void>(file_.Close());  // the write error is the one to report
    return result_;
  }
  // Leaves a file too short for a write-back in the cache, as any small file.
  if (started_ > 0) file_.DropWritten(dropped_, written_ - dropped_);
  error = file_.Close();
  result_.error = error;
  result_.unsure = static_cast<bool>(error);
  return result_;
}

}  // namespace conversion
