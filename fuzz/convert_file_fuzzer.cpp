// Feeds arbitrary bytes as a whole export through the file conversion and
// aborts unless every line of the fields the header asks for, and every
// contact whose quoted value spans lines, lands in marigold.txt, whole and in
// order, and the message counts and numbers the lines it skipped; fields split
// at the separator the header shows, columns read where it names them, and a
// UTF-16 export read as its text.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "conversion.h"
#include "export_head.h"
#include "line_converter.h"
#include "reference.h"

namespace {

constexpr std::size_t kListedLines = 10;

void Check(bool ok, const char* what, std::string_view message) {
  if (ok) return;
  std::fprintf(stderr, "broken: %s\nmessage: %.*s\n", what, static_cast<int>(message.size()),
               message.data());
  std::abort();
}

class QuietHost : public conversion::Host {
 public:
  void RepaintCounter() override {}
  void SetCounterText(std::string_view /*text*/) override {}
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  std::time_t Now() override { return 1'000'000'000; }
  conversion::RegionalDates Regional() override { return {}; }

  std::vector<std::string> messages;
};

// Holds the program folder for the whole session and removes it at the end.
class ProgramDir {
 public:
  ProgramDir() {
    // Prefers memory to the temporary folder, where rewriting the file costs a flush per input.
    std::error_code error;
    std::vector<std::filesystem::path> bases = {"/dev/shm"};
    const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (!error) bases.push_back(temp);
    std::random_device random;
    for (const std::filesystem::path& base : bases) {
      for (int attempt = 0; attempt < 100; ++attempt) {
        path = base / ("s2m-fuzz-" + std::to_string(random()));
        if (std::filesystem::create_directory(path, error)) return;
        // Moves on to the next folder when this one is missing or read-only.
        if (error) break;
      }
    }
    std::abort();
  }
  ProgramDir(const ProgramDir&) = delete;
  ProgramDir& operator=(const ProgramDir&) = delete;
  ~ProgramDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }

  std::filesystem::path path;
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Returns "3, 7, 12" for the first line numbers, ending in ", …" when there are more.
std::string NumberList(const std::vector<std::size_t>& numbers) {
  std::string text;
  for (std::size_t i = 0; i < numbers.size() && i < kListedLines; ++i) {
    text += (i == 0 ? "" : ", ") + std::to_string(numbers[i]);
  }
  return numbers.size() > kListedLines ? text + ", …" : text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ProgramDir dir;
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  std::ofstream(dir.path / "LOG.CSV", std::ios::binary)
      .write(file.data(), static_cast<std::streamsize>(size));

  // Each line, or lines joined for a quoted line break, converted on its own
  // with the separator and the order of dates of the whole gives the record
  // to expect. Inputs are shorter than the head that decides the order.
  QuietHost lineHost;
  std::string expected;
  std::int32_t converted = 0;
  std::vector<std::size_t> skipped;
  const std::string text = reference::Utf8Text(file);
  const std::vector<std::string_view> lines = reference::Lines(text);
  conversion::RunContext run;
  const reference::Layout layout = reference::LayoutOf(lines);
  run.separator = layout.separator;
  std::string_view head = text;
  if (head.starts_with("\xEF\xBB\xBF")) head.remove_prefix(3);
  run.dates.order =
      conversion::DecideDateOrder(head, false, run.separator, conversion::DateOrder::Unknown,
                                  conversion::LayoutOf(head, false).columns)
          .order;
  run.SetOperator("OP");
  for (const reference::Joined& joined : reference::JoinLines(lines, run.separator, layout.count)) {
    const std::vector<std::string> fields = reference::Fields(joined.text, nullptr, run.separator);
    if (fields.size() < layout.count) {
      skipped.push_back(joined.line);
      continue;
    }
    conversion::FormState one;
    // Columns read by name are converted from a line of their values in INFO's order.
    const std::string line = layout.byName ? reference::InInfoOrder(layout, fields) : joined.text;
    one.Linea = line;
    conversion::ConvertLine(one, lineHost, run);
    expected += one.Linea1 + "\r\n";
    ++converted;
  }

  conversion::FormState form;
  form.NomeFile = "LOG.CSV";
  form.NomeUtente = "OP";
  QuietHost host;
  conversion::ConvertFile(form, dir.path, host);
  Check(host.messages.size() == 1, "a run must show exactly one message", "");
  const std::string& message = host.messages.front();
  Check(message.starts_with("FINISH MARIGOLD.TXT with " + std::to_string(converted) +
                            " DATA in FILE"),
        "the message must count every line of 26 fields", message);
  Check(form.xx == converted, "xx must count every line of 26 fields", message);
  Check(ReadFile(dir.path / "marigold.txt") == expected,
        "marigold.txt must hold one whole record per line of 26 fields, in order", message);
  if (!skipped.empty()) {
    const std::size_t note = message.find(" " + std::to_string(layout.count) + " fields");
    Check(note != std::string::npos, "the message must note the skipped lines", message);
    const std::string_view noteLine =
        std::string_view(message).substr(note, message.find('\n', note) - note);
    Check(message.find(" " + std::to_string(skipped.size()) + " line") != std::string::npos &&
              noteLine.ends_with(" " + NumberList(skipped)),
          "the message must count and number the skipped lines", message);
  }
  return 0;
}
