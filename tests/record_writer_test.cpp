#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "platform.h"
#include "record_writer.h"

namespace {

using conversion::RecordWriter;
using conversion::WriteResult;
using conversion::platform::File;
using conversion::platform::SystemError;
using fake::Call;

// Writes records to "out" on the fake disk through a writer with tiny blocks,
// which starts a write-back after each.
class RecordWriterTest : public testing::TestWithParam<std::size_t> {
 protected:
  RecordWriterTest() {
    disk.AddFolder("");
    EXPECT_FALSE(File::Create("out", file));
  }

  // Appends records; returns how many Append took before one refused.
  std::size_t Append(const std::vector<std::string>& records) {
    std::size_t taken = 0;
    for (const std::string& record : records) {
      if (!writer.Append(record)) break;
      ++taken;
    }
    return taken;
  }

  // Returns records, each ended by CR LF.
  static std::string Joined(const std::vector<std::string>& records, std::size_t count) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i) bytes += records[i] + "\r\n";
    return bytes;
  }

  fake::Disk disk;
  File file;
  RecordWriter writer{file, GetParam(), GetParam()};
};

// Records of 4 bytes, 6 with their CR LF: a block holds block / 6 of them.
const std::vector<std::string> kShort = {"rec1", "rec2", "rec3", "rec4", "rec5", "rec6", "rec7"};

TEST_P(RecordWriterTest, WritesEveryRecordWholeInOrderAnyLengthAnyWriteSize) {
  std::vector<std::string> records;
  for (std::size_t length = 0; length <= 3 * GetParam(); ++length) {
    records.emplace_back(length, static_cast<char>('a' + length % 26));
  }
  for (const std::size_t most : {std::size_t{1}, std::size_t{5}, disk.most}) {
    SCOPED_TRACE(most);
    disk.most = most;
    File out;
    disk.Remove("each");  // a file is created new
    ASSERT_FALSE(File::Create("each", out));
    RecordWriter each(out, GetParam());
    for (const std::string& record : records) ASSERT_TRUE(each.Append(record));
    const WriteResult& result = each.Finish();
    EXPECT_FALSE(result.error);
    EXPECT_FALSE(result.unsure);
    EXPECT_EQ(result.records, records.size());
    EXPECT_EQ(disk.Get("each"), Joined(records, records.size()));
  }
  EXPECT_EQ(disk.OpenCount(), 1u) << "the fixture's file only";
}

TEST_P(RecordWriterTest, MakesAnInterruptedWriteOrFlushAgain) {
  disk.Fail(Call::Write, 1, std::errc::interrupted);
  disk.Fail(Call::Write, 3, std::errc::interrupted, 2);
  disk.Fail(Call::Sync, 1, std::errc::interrupted);
  disk.most = 4;
  EXPECT_EQ(Append(kShort), kShort.size());
  EXPECT_FALSE(writer.Finish().error);
  EXPECT_EQ(disk.Get("out"), Joined(kShort, kShort.size()));
  EXPECT_EQ(disk.Count(Call::Sync), 2);
}

TEST_P(RecordWriterTest, CutsTheFileBackToWholeRecordsWhenAWriteFails) {
  const std::size_t perBlock = GetParam() / 6;
  // The second block comes back short after 1 byte, then fails after 4 more.
  disk.Short(Call::Write, 2, 1);
  disk.Fail(Call::Write, 3, std::errc::no_space_on_device, 4);
  const std::size_t taken = Append(kShort);
  EXPECT_EQ(taken, 2 * perBlock) << "the Append that wrote out the second block refuses";
  EXPECT_EQ(disk.Peak("out"), 6 * perBlock + 5);
  EXPECT_EQ(disk.Get("out"), Joined(kShort, perBlock));
  EXPECT_EQ(writer.records(), perBlock);
  for (const fake::Hint& hint : disk.Hints("out")) {
    EXPECT_LE(hint.from + hint.length, 6 * perBlock) << "a hint on bytes that were cut off";
  }

  writer.Append("more");
  const WriteResult& result = writer.Finish();
  EXPECT_EQ(result.error, SystemError(std::errc::no_space_on_device));
  EXPECT_EQ(result.records, perBlock);
  EXPECT_FALSE(result.unsure);
  EXPECT_EQ(disk.Count(Call::Write), 3) << "nothing is written after a failure";
  EXPECT_EQ(disk.Count(Call::Sync), 1) << "the whole records kept are flushed";
  EXPECT_TRUE(result.flushed);
  EXPECT_EQ(disk.Get("out"), Joined(kShort, perBlock));
  EXPECT_EQ(disk.OpenCount(), 0u);
}

TEST_P(RecordWriterTest, CountsTheRecordsThatLandedWholeBeforeTheFailure) {
  // The first block's write fails 8 bytes in: past the first record, within the
  // second where the block holds two.
  disk.Fail(Call::Write, 1, std::errc::io_error, 8);
  Append(kShort);
  const WriteResult& result = writer.Finish();
  EXPECT_EQ(result.error, std::errc::io_error);
  EXPECT_EQ(result.records, 1u);
  EXPECT_EQ(disk.Get("out"), "rec1\r\n");
}

TEST_P(RecordWriterTest, IsUnsureWhenTheCutRecordCannotBeCutOff) {
  disk.Fail(Call::Write, 1, std::errc::no_space_on_device, 3);
  disk.Fail(Call::Truncate, 1, std::errc::io_error);
  Append(kShort);
  const WriteResult& result = writer.Finish();
  EXPECT_EQ(result.error, std::errc::no_space_on_device);
  EXPECT_TRUE(result.unsure);
  EXPECT_EQ(disk.Get("out"), "rec");
}

TEST_P(RecordWriterTest, IsUnsureWhenTheFlushFails) {
  disk.Fail(Call::Sync, 1, std::errc::io_error);
  EXPECT_EQ(Append(kShort), kShort.size());
  const WriteResult& result = writer.Finish();
  EXPECT_EQ(result.error, SystemError(std::errc::io_error));
  EXPECT_TRUE(result.unsure);
  EXPECT_FALSE(result.flushed);
  EXPECT_EQ(result.records, kShort.size());
  EXPECT_EQ(disk.Get("out"), Joined(kShort, kShort.size()));
  EXPECT_EQ(disk.OpenCount(), 0u) << "closed all the same";
}

TEST_P(RecordWriterTest, IsUnsureWhenTheCloseFails) {
  disk.Fail(Call::Close, 1, std::errc::io_error);
  EXPECT_EQ(Append(kShort), kShort.size());
  const WriteResult& result = writer.Finish();
  EXPECT_EQ(result.error, SystemError(std::errc::io_error));
  EXPECT_TRUE(result.unsure);
  EXPECT_EQ(result.records, kShort.size());
  EXPECT_EQ(disk.Count(Call::Sync), 1);
  EXPECT_EQ(disk.OpenCount(), 0u);
}

TEST_P(RecordWriterTest, FinishesOnce) {
  Append(kShort);
  const WriteResult& first = writer.Finish();
  const WriteResult& second = writer.Finish();
  EXPECT_EQ(&first, &second);
  EXPECT_FALSE(second.error);
  EXPECT_EQ(second.records, kShort.size());
  EXPECT_EQ(disk.Count(Call::Sync), 1);
  EXPECT_EQ(disk.Count(Call::Close), 1);
}

INSTANTIATE_TEST_SUITE_P(TinyBlocks, RecordWriterTest, testing::Values(8, 16),
                         [](const testing::TestParamInfo<std::size_t>& block) {
                           return "Block" + std::to_string(block.param);
                         });

// Writes records through a writer with the block of the parameter, tiny or real.
class RecordWriterBlockTest : public testing::TestWithParam<std::size_t> {};

// Returns records of many lengths that fill several blocks, among them one that
// fills a block exactly with its CR LF, one a byte longer and one longer than the block.
std::vector<std::string> MixedRecords(std::size_t block) {
  std::vector<std::string> records;
  std::size_t total = 0;
  const auto add = [&](std::size_t length) {
    records.emplace_back(length, static_cast<char>('a' + records.size() % 26));
    total += length + 2;
  };
  const auto fill = [&](std::size_t upTo) {
    std::size_t i = 0;
    while (total < upTo) add(++i * 7 % std::min<std::size_t>(block, 300));
  };
  fill(2 * block);
  for (const std::size_t length : {block - 2, block - 1, 2 * block + 5}) add(length);
  fill(total + 4 * block);
  return records;
}

TEST_P(RecordWriterBlockTest, EndsEveryWriteAndHintAtTheEndOfARecord) {
  const std::size_t block = GetParam();
  const std::vector<std::string> records = MixedRecords(block);
  fake::Disk disk;
  disk.AddFolder("");
  File file;
  ASSERT_FALSE(File::Create("out", file));
  const std::size_t writeBack = 2 * block;
  RecordWriter writer(file, block, writeBack);
  for (const std::string& record : records) ASSERT_TRUE(writer.Append(record));
  ASSERT_FALSE(writer.Finish().error);

  const std::string bytes = disk.Get("out");
  std::string expected;
  std::vector<std::size_t> ends;  // where each record ends in the file
  for (const std::string& record : records) {
    expected += record + "\r\n";
    ends.push_back(expected.size());
  }
  ASSERT_EQ(bytes, expected);
  const std::vector<std::uint64_t> writes = disk.WriteEnds("out");
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes.back(), bytes.size());
  std::size_t start = 0;
  for (const std::uint64_t end : writes) {
    SCOPED_TRACE(end);
    ASSERT_TRUE(std::binary_search(ends.begin(), ends.end(), end))
        << "a write ends inside a record";
    ASSERT_EQ(bytes.compare(end - 2, 2, "\r\n"), 0);
    const auto next = std::upper_bound(ends.begin(), ends.end(), end);
    // A block goes out when the next record does not fit, and holds a record
    // longer than the block alone.
    const bool alone = next - std::upper_bound(ends.begin(), ends.end(), start) == 1;
    EXPECT_TRUE(end - start <= block || alone) << end - start << " bytes";
    if (next != ends.end()) {
      EXPECT_GT(*next - start, block);
    }
    start = end;
  }

  // Each write-back starts on all that was written since the one before, once
  // writeBack bytes have gathered; each drop follows on bytes started before,
  // and the last one, after the flush, takes the rest of the file.
  std::uint64_t started = 0;
  std::uint64_t dropped = 0;
  const std::vector<fake::Hint> hints = disk.Hints("out");
  ASSERT_GE(hints.size(), 4u);
  for (const fake::Hint& hint : hints) {
    SCOPED_TRACE(hint.from);
    const std::uint64_t end = hint.from + hint.length;
    EXPECT_TRUE(std::binary_search(ends.begin(), ends.end(), end)) << "a hint ends inside a record";
    if (hint.call == Call::StartWriteBack) {
      EXPECT_EQ(hint.from, started);
      EXPECT_EQ(end, hint.size);
      EXPECT_GE(hint.length, writeBack);
      started = end;
    } else {
      ASSERT_EQ(hint.call, Call::DropWritten);
      EXPECT_EQ(hint.from, dropped);
      EXPECT_TRUE(end <= started || &hint == &hints.back());
      dropped = end;
    }
  }
  EXPECT_EQ(hints.back().call, Call::DropWritten);
  EXPECT_EQ(dropped, bytes.size());
}

INSTANTIATE_TEST_SUITE_P(TinyAndRealBlocks, RecordWriterBlockTest,
                         testing::Values(8, 16, RecordWriter::kBlock),
                         [](const testing::TestParamInfo<std::size_t>& block) {
                           return "Block" + std::to_string(block.param);
                         });

}  // namespace
