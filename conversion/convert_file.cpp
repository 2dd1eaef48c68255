#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cwctype>
#include <limits>
#include <system_error>
#include <utility>
#include <vector>

#include "line_converter.h"
#include "text.h"

namespace conversion {

namespace {

constexpr std::string_view kOutputName = "marigold.txt";
constexpr std::size_t kEncodingProbe = 64 * 1024;  // bytes that decide the export's encoding
constexpr std::size_t kReadBlock = 1024 * 1024;
constexpr std::size_t kWriteBlock = 1024 * 1024;
constexpr std::size_t kListedLines = 10;  // line numbers a message lists before "…"

std::string Reason(int error) { return std::generic_category().message(error); }

std::string Quoted(std::string_view path) {
  std::string quoted(1, '"');
  quoted.append(path).push_back('"');
  return quoted;
}

// Owns a file descriptor.
class File {
 public:
  File() = default;
  explicit File(int fd) : fd_(fd) {}
  File(File&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  File& operator=(File&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File() {
    if (fd_ >= 0) ::close(fd_);
  }

  int fd() const { return fd_; }
  bool is_open() const { return fd_ >= 0; }

  // Closes the file; returns the system's error, or 0.
  int Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd >= 0 && ::close(fd) != 0 ? errno : 0;
  }

 private:
  int fd_ = -1;
};

// Opens path for reading; sets error to the system's reason on failure. A
// folder is refused as EISDIR, since reading it would fail only later.
File OpenForReading(const std::string& path, int& error) {
  File file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.is_open()) {
    error = errno;
    return file;
  }
  struct stat info {};
  if (::fstat(file.fd(), &info) != 0) {
    error = errno;
    return File();
  }
  if (S_ISDIR(info.st_mode)) {
    error = EISDIR;
    return File();
  }
  error = 0;
  return file;
}

// Reads a file line by line through one large buffer. CR LF, a lone CR and a
// lone LF each end a line; a UTF-8 byte-order mark at the start is dropped.
class LineReader {
 public:
  explicit LineReader(int fd) : fd_(fd), buffer_(kReadBlock) {}

  // Returns the first bytes of the file (up to kEncodingProbe), reading them first.
  std::string_view Probe(bool& cut) {
    while (!eof_ && end_ - begin_ < kEncodingProbe + 3 && Fill()) {
    }
    if (!bomChecked_) {
      bomChecked_ = true;
      if (std::string_view(buffer_.data() + begin_, end_ - begin_).starts_with("\xEF\xBB\xBF")) {
        begin_ += 3;
      }
    }
    const std::size_t size = std::min(end_ - begin_, kEncodingProbe);
    cut = size == kEncodingProbe && end_ - begin_ > size;
    return {buffer_.data() + begin_, size};
  }

  // Reads the next line into line; returns false at the end or on an error.
  bool Next(std::string_view& line) {
    for (;;) {
      if (skipLineFeed_ && begin_ < end_) {
        if (buffer_[begin_] == '\n') ++begin_;
        skipLineFeed_ = false;
      }
      if (lineFeed_ < begin_ || lineFeed_ > end_) lineFeed_ = Find('\n', begin_, end_);
      const std::size_t carriage = Find('\r', begin_, lineFeed_);
      const std::size_t stop = std::min(carriage, lineFeed_);
      if (stop < end_) {
        line = std::string_view(buffer_.data() + begin_, stop - begin_);
        begin_ = stop + 1;
        skipLineFeed_ = buffer_[stop] == '\r';  // without a CR, carriage equals lineFeed_
        ++lineNumber_;
        return true;
      }
      if (eof_) {
        if (begin_ == end_) return false;
        line = std::string_view(buffer_.data() + begin_, end_ - begin_);
        begin_ = end_;
        ++lineNumber_;
        return true;
      }
      if (!Fill()) return false;
    }
  }

  std::uint64_t lineNumber() const { return lineNumber_; }
  int error() const { return error_; }

 private:
  // Returns the index of c in [from, to), or to when it is not there.
  std::size_t Find(char c, std::size_t from, std::size_t to) const {
    const void* hit = std::memchr(buffer_.data() + from, c, to - from);
    return hit == nullptr
               ? to
               : static_cast<std::size_t>(static_cast<const char*>(hit) - buffer_.data());
  }

  // Reads more of the file behind what is left; returns false on an error.
  bool Fill() {
    if (begin_ > 0) {
      std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
      end_ -= begin_;
      begin_ = 0;
    }
    // A line longer than the buffer makes it grow; the line stays whole.
    if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
    lineFeed_ = std::numeric_limits<std::size_t>::max();
    for (;;) {
      const ssize_t n = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
      if (n > 0) {
        end_ += static_cast<std::size_t>(n);
        return true;
      }
      if (n == 0) {
        eof_ = true;
        return true;
      }
      if (errno != EINTR) {
        error_ = errno;
        return false;
      }
    }
  }

  int fd_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::size_t lineFeed_ = std::numeric_limits<std::size_t>::max();  // next LF at or after begin_
  bool skipLineFeed_ = false;  // the last line ended in CR; an LF right after belongs to it
  bool bomChecked_ = false;
  bool eof_ = false;
  int error_ = 0;
  std::uint64_t lineNumber_ = 0;
};

// Writes records through one large buffer. On a write error the file is cut
// back to the end of the last whole record.
class RecordWriter {
 public:
  explicit RecordWriter(File& file) : file_(file) { buffer_.reserve(kWriteBlock + 4096); }

  bool Append(std::string_view record) {
    buffer_.append(record);
    buffer_.append("\r\n");
    ++pending_;
    return buffer_.size() < kWriteBlock || Flush();
  }

  // Writes out the buffer; returns false and keeps the error on failure.
  bool Flush() {
    std::size_t done = 0;
    while (done < buffer_.size()) {
      const ssize_t n = ::write(file_.fd(), buffer_.data() + done, buffer_.size() - done);
      if (n >= 0) {
        done += static_cast<std::size_t>(n);
        continue;
      }
      if (errno == EINTR) continue;
      error_ = errno;
      KeepWholeRecords(done);
      return false;
    }
    written_ += done;
    records_ += pending_;
    pending_ = 0;
    buffer_.clear();
    return true;
  }

  // Flushes and closes the file; returns false and keeps the error on failure.
  bool Finish() {
    if (!Flush()) return false;
    if (const int error = file_.Close(); error != 0) {
      error_ = error;
      return false;
    }
    return true;
  }

  std::uint64_t records() const { return records_; }
  int error() const { return error_; }

 private:
  // Cuts the file after the last record that reached it whole.
  void KeepWholeRecords(std::size_t done) {
    const std::string_view landed(buffer_.data(), done);
    const std::size_t lastEnd = landed.rfind('\n');
    if (lastEnd != std::string_view::npos) {
      records_ += static_cast<std::uint64_t>(std::count(landed.begin(), landed.end(), '\n'));
      written_ += lastEnd + 1;
    }
    if (::ftruncate(file_.fd(), static_cast<off_t>(written_)) != 0) {
      // The file keeps a cut record; nothing more can be done about it here.
    }
    pending_ = 0;
    buffer_.clear();
  }

  File& file_;
  std::string buffer_;
  std::uint64_t pending_ = 0;  // records in buffer_
  std::uint64_t records_ = 0;  // records in the file
  std::uint64_t written_ = 0;  // bytes in the file
  int error_ = 0;
};

// Collects input line numbers for a message: the first few and how many.
class LineList {
 public:
  void Add(std::uint64_t line) {
    if (lines_.size() < kListedLines) lines_.push_back(line);
    ++count_;
  }
  std::uint64_t count() const { return count_; }

  // Returns "line 3" or "lines 3, 7, 12", ending in ", …" when more were counted.
  std::string Text() const {
    std::string text = count_ == 1 ? "line " : "lines ";
    for (const std::uint64_t line : lines_) {
      if (line != lines_.front()) text += ", ";
      text += std::to_string(line);
    }
    if (count_ > lines_.size()) text += ", …";
    return text;
  }

 private:
  std::vector<std::uint64_t> lines_;
  std::uint64_t count_ = 0;
};

std::string Plural(std::uint64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string RecordsWritten(std::uint64_t records) {
  if (records == 0) return "No records were written to marigold.txt.";
  return Plural(records, "record was", "records were") + " written to marigold.txt.";
}

std::string CompletionMessage(std::int32_t xx, const LineList& skipped,
                              const LineList& placeholders) {
  std::string text = "FINISH MARIGOLD.TXT with " + std::to_string(xx) + " DATA in FILE";
  if (skipped.count() > 0) {
    text += "\nSkipped " + Plural(skipped.count(), "line", "lines") +
            " with fewer than 26 fields: " + skipped.Text();
  }
  if (placeholders.count() > 0) {
    text += "\nPlaceholder date 01/01/2050 or time 12:12:12 written for " +
            Plural(placeholders.count(), "record", "records") +
            " whose date or time has another length: " + placeholders.Text();
  }
  return text;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Folds a name for comparison ignoring case; bytes that are not UTF-8 stay as they are.
std::u32string FoldCase(std::string_view name) {
  std::u32string folded;
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t n = CharLength(name, pos);
    char32_t c = static_cast<unsigned char>(name[pos]);
    if (n > 1) {
      c &= 0x3FU >> (n - 1);
      for (std::size_t i = 1; i < n; ++i)
        c = (c << 6) | (static_cast<unsigned char>(name[pos + i]) & 0x3FU);
    } else if (c >= 0x80) {
      c |= 0x110000;  // a stray byte never folds onto a character
    }
    folded.push_back(c < 0x110000 ? static_cast<char32_t>(std::towlower(static_cast<wint_t>(c)))
                                  : c);
    pos += n;
  }
  return folded;
}

// Resolves the typed input name: the name as typed when such a file exists,
// else the one file of the program directory that matches it ignoring case.
// Returns false with a message when several files match.
bool ResolveInput(const std::string& dir, const std::string& typed, std::string& path,
                  std::string& message) {
  path = dir + "/" + typed;
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 || errno != ENOENT || typed.empty() ||
      typed.find('/') != std::string::npos) {
    return true;
  }
  const std::u32string wanted = FoldCase(typed);
  std::vector<std::string> matches;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
    std::string name = entry.path().filename().native();
    if (FoldCase(name) == wanted) matches.push_back(std::move(name));
  }
  if (matches.size() == 1) path = dir + "/" + matches.front();
  if (matches.size() <= 1) return true;
  std::sort(matches.begin(), matches.end());
  message = "The name " + Quoted(typed) + " fits several files in " + Quoted(dir) +
            " that differ only in case:";
  for (const std::string& name : matches) message += (name == matches.front() ? " " : ", ") + name;
  message += ".\nRename all but one of them. Nothing was changed.";
  return false;
}

// Runs the conversion once both files are open; returns the message to show.
std::string Convert(FormState& form, Host& host, LineReader& reader, RecordWriter& writer,
                    const std::string& inputPath, const std::string& outputPath) {
  RunContext run;
  bool cut = false;
  const std::string_view probe = reader.Probe(cut);
  run.windows1252 = !IsUtf8(probe, cut);
  run.SetOperator(form.NomeUtente);

  LineList skipped;
  LineList placeholders;
  std::string_view line;
  while (reader.Next(line)) {
    form.Linea.assign(line);
    const LineResult result = ConvertLine(form, host, run);
    if (result.status == LineStatus::Skipped) {
      skipped.Add(reader.lineNumber());
      continue;
    }
    if (result.status == LineStatus::Overflow) {
      form.Linea.clear();
      if (!writer.Finish()) break;  // a write failure is the worse news
      return "The input file " + Quoted(inputPath) +
             " holds more records than can be counted: line " +
             std::to_string(reader.lineNumber()) + " would be record " +
             std::to_string(std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) + ".\n" +
             RecordsWritten(writer.records());
    }
    if (result.placeholderDate) placeholders.Add(reader.lineNumber());
    const bool ok = writer.Append(form.Linea1);
    form.Linea1.clear();
    form.Linea.clear();
    if (!ok) break;
  }
  if (reader.error() != 0) {
    writer.Finish();
    return "Cannot read the input file " + Quoted(inputPath) + ": " + Reason(reader.error()) +
           ".\n" + RecordsWritten(writer.records());
  }
  if (writer.error() != 0 || !writer.Finish()) {
    return "Cannot write the output file " + Quoted(outputPath) + ": " + Reason(writer.error()) +
           ".\n" + RecordsWritten(writer.records()) +
           (writer.records() > 0 ? " Each of them is whole." : "");
  }
  return CompletionMessage(form.xx, skipped, placeholders);
}

}  // namespace

bool FileExists(const std::string& filename) {
  int error = 0;
  return OpenForReading(filename, error).is_open();
}

void ConvertFile(FormState& form, const std::filesystem::path& programDir, Host& host) {
  const std::string& dir = programDir.native();
  const std::string outputPath = dir + "/" + std::string(kOutputName);
  std::string inputPath;
  std::string message;
  if (!ResolveInput(dir, form.NomeFile, inputPath, message)) {
    host.ShowMessage(message);
    return;
  }

  // The input is opened first: a mistyped name must not cost the earlier output.
  int error = 0;
  File input = OpenForReading(inputPath, error);
  if (!input.is_open()) {
    host.ShowMessage("Cannot open the input file " + Quoted(inputPath) + ": " + Reason(error) +
                     ".\nNo records were written; marigold.txt was not changed.");
    return;
  }
  if (SameFile(inputPath, outputPath)) {
    host.ShowMessage("The input file " + Quoted(inputPath) +
                     " is marigold.txt itself, the file this conversion writes.\n"
                     "Type the name of the exported log instead. Nothing was changed.");
    return;
  }

  if (FileExists(outputPath)) ::unlink(outputPath.c_str());
  File output(::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!output.is_open()) {
    host.ShowMessage("Cannot create the output file " + Quoted(outputPath) + ": " + Reason(errno) +
                     ".\nNo records were written.");
    return;
  }

  LineReader reader(input.fd());
  RecordWriter writer(output);
  host.ShowMessage(Convert(form, host, reader, writer, inputPath, outputPath));
}

}  // namespace conversion
