// The bytes layer's record writer: gathers whole records in one buffer, writes them out in
// blocks and cuts the file back to the last whole record when a write fails.

#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <system_error>
#include <vector>

#include "bytes.h"
#include "platform.h"

namespace conversion {

// Tells what a record writer left in its file.
struct WriteResult {
  std::error_code error;      // why writing stopped; nothing when every record reached the device
  std::uint64_t records = 0;  // records in the file, each whole unless unsure is set
  bool unsure = false;   // the device refused records it was given: how many it keeps is unknown
  bool flushed = false;  // the device confirmed the flush of the records in the file
};

// Writes records through one buffer of a block or more. Every write hands the
// system whole records: the buffer is written out when the next record does not
// fit, and a record longer than the block goes out alone. A write that is
// interrupted or comes back short is made again for the rest. On a write error
// the file is cut back to the end of the last whole record.
//
// Once writeBack bytes have gathered in the file since the last time, the
// system is told to start moving them onto the device, so that the device
// writes while the next blocks are made and Finish's flush waits only for the
// tail; the bytes started the time before, on the device by then as a rule,
// are dropped from the system's cache, and after the flush the rest. Both are
// hints given after whole records only; a large output so leaves the user's
// other files in memory.
class RecordWriter {
 public:
  static constexpr std::size_t kBlock = 1024 * 1024;  // bytes gathered before a write
  // Bytes written before their write-back is started: some 25 starts for a
  // million records. Finish's flush waits for the last step or two, and the
  // system holds about as many bytes not yet written; steps of 1 to 32 MiB
  // took the same time within the noise of a shared machine.
  static constexpr std::uint64_t kWriteBack = 8 * 1024 * 1024;

  explicit RecordWriter(platform::File& file, std::size_t block = kBlock,
                        std::uint64_t writeBack = kWriteBack);

  // Returns room at the end of the buffer for a record of size bytes, its
  // CR LF and the kRecordOverrun bytes that PutRecord may spoil behind it;
  // nullptr when writing out the records before it failed. Nothing is
  // written after a failure.
  char* Room(std::size_t record) { return RoomFor(record + 2 + kRecordOverrun); }

  // Ends the record written into Room's bytes up to end with CR LF.
  void Commit(char* end) {
    end[0] = '\r';
    end[1] = '\n';
    used_ = static_cast<std::size_t>(end + 2 - buffer_.data());
    ++pending_;
  }

  // Adds a record and its CR LF; returns false when writing out the records
  // before it failed.
  bool Append(std::string_view record) {
    char* const room = RoomFor(record.size() + 2);
    if (room == nullptr) return false;
    Commit(CopyBytes(room, record.data(), record.size()));
    return true;
  }

  // Writes out the buffer, moves the file onto the device and closes it. Only
  // then may a run report the records as written. After a failed write the
  // whole records kept are moved onto the device all the same. Does this once;
  // a later call returns the same result.
  const WriteResult& Finish();

  // Counts the records that reached the file so far.
  std::uint64_t records() const { return result_.records; }

 private:
  // Returns room for size bytes at the end of the buffer, or nullptr as Room does.
  char* RoomFor(std::size_t size) {
    if (used_ + size > block_) {
      if (!Flush()) return nullptr;
      if (size > buffer_.size()) buffer_.resize(size);  // a record longer than a block, alone
    }
    return buffer_.data() + used_;
  }
  // Writes out the buffer; returns false and keeps the error on failure.
  bool Flush();
  // Cuts the file after the last record that reached it whole, done bytes of the buffer in.
  void KeepWholeRecords(std::size_t done);
  // Starts the write-back of the bytes written since the last start and drops
  // those of the start before from the cache.
  void StartWriteBack();

  platform::File& file_;
  std::size_t block_;  // bytes one write holds at most, but for a record longer than a block
  std::vector<char> buffer_;
  std::size_t used_ = 0;       // bytes of buffer_ that hold records
  std::uint64_t pending_ = 0;  // records in buffer_
  std::uint64_t written_ = 0;  // bytes in the file
  std::uint64_t writeBack_;    // bytes gathered before a write-back is started
  std::uint64_t started_ = 0;  // bytes in the file whose write-back was started
  std::uint64_t dropped_ = 0;  // bytes in the file dropped from the system's cache
  WriteResult result_;
  bool finished_ = false;
};

}  // namespace conversion
