// The benchmark's synthetic export: written from tables of calls, bands, modes and names.

#include "synthetic_export.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string_view>

namespace bench {

namespace {

constexpr std::string_view kHeader =
    "DXCC,Call,Date,Time,End,Band,Mode,QRG,Name,Operator,Comment,QTH-Locator,QTH,RSTS,RSTS_NR,"
    "RSTR,RSTR_NR,QSLR,QSLS,QSL-Action,SPEZ,MY-QTH,Contest,QSL-Mgr,Region,WPX";

constexpr std::array<std::string_view, 16> kDxcc = {"HB9",  "DL",  "W",  "UAEU", "UAAS", "4UI",
                                                    "CO",   "EA8", "F",  "G",    "OE",   "PA",
                                                    "OKOM", "ZB2", "VE", "JA"};
constexpr std::array<std::string_view, 16> kCallPrefixes = {"HB9", "DL1", "DL7", "F5",  "G4",  "I2",
                                                            "OE3", "PA0", "ON4", "OK1", "SP9", "K1",
                                                            "W6Q", "VE3", "JA1", "S57"};
// The 13 bands of the table, then two it lacks.
constexpr std::array<std::string_view, 15> kBands = {"10m",  "15m",  "20m",  "40m", "80m",
                                                     "160m", "30m",  "17m",  "12m", "6m",
                                                     "2m",   "70cm", "23cm", "99m", "20M"};
constexpr std::array<std::string_view, 15> kFrequencies = {
    "28.450", "21.250", "14.205",  "7.012",   "3.650",    "1.840", "10.120", "18.100",
    "24.950", "50.150", "144.300", "432.200", "1296.200", "5.357", "14.074"};
constexpr std::array<std::string_view, 6> kModes = {"SSB", "CW", "FT8", "RTTY", "FM", "PSK31"};
// ASCII, Windows-1252 and UTF-8 names.
constexpr std::array<std::string_view, 16> kNames = {
    "Hans",         "Urs",       "Gerd",     "Maria",       "Anna",
    "Luca",         "Sven",      "Olga",     "Piet",        "",
    "J\xE9r\xF4me", "M\xFCller", "Bj\xF6rn", "Fran\xE7ois", "J\xC3\xA9r\xC3\xB4me",
    "Zo\xC3\xAB"};
constexpr std::array<std::string_view, 10> kComments = {"",
                                                        "",
                                                        "",
                                                        "",
                                                        "tnx QSO",
                                                        "\"nice, strong signal, 73\"",
                                                        "\"QRM, QSB\"",
                                                        R"("said ""hi"", fine")",
                                                        "first QSO",
                                                        "\"pse QSL, via bureau\""};
constexpr std::array<std::string_view, 8> kPlaces = {
    "Hinterdorf", "Musterstadt", "\"Bern, CH\"",      "Lago Verde",
    "Nordheim",   "M\xFChlbach", "K\xC3\xB6nigsfeld", "\"Sankt Irgendwo, AT\""};
constexpr std::array<std::string_view, 5> kQslReceived = {"0", "1", "Y", "N", ""};
constexpr std::array<std::string_view, 5> kQslSent = {"0", "1", "S", "yes", ""};
constexpr std::array<std::string_view, 4> kQslAction = {"S", "O", "", "B"};
constexpr std::array<std::string_view, 6> kRegions = {"EU", "NA", "AS", "OC", "SA", "AF"};

// Draws numbers from a fixed seed, the same sequence on every platform.
class Random {
 public:
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Returns a number in [0, n).
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  // Returns true once in n draws on average.
  bool OneIn(std::size_t n) { return Below(n) == 0; }

  template <typename T, std::size_t N>
  std::string_view Pick(const std::array<T, N>& values) {
    return values[Below(N)];
  }

 private:
  std::uint64_t state_ = 20000305;
};

void AppendNumber(std::string& out, std::size_t value, int width) {
  std::array<char, 20> digits{};
  int n = 0;
  do {
    digits[static_cast<std::size_t>(n++)] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0 || n < width);
  while (n > 0) out.push_back(digits[static_cast<std::size_t>(--n)]);
}

void AppendLetters(std::string& out, Random& random, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) out.push_back(static_cast<char>('A' + random.Below(26)));
}

// Appends an invented call sign, now and then operated away from home.
void AppendCall(std::string& out, Random& random) {
  const std::size_t kind = random.Below(20);
  if (kind == 0) out.append("EA8/");
  if (kind == 1) out.append("F/");
  out.append(random.Pick(kCallPrefixes));
  AppendLetters(out, random, 2 + random.Below(2));
  if (kind == 0 || (kind >= 2 && kind <= 4)) out.append("/P");
  if (kind == 5) out.append("/M");
}

struct Day {
  std::size_t day, month, year;
};

void AppendDate(std::string& out, const Day& d) {
  AppendNumber(out, d.day, 2);
  out.push_back('.');
  AppendNumber(out, d.month, 2);
  out.push_back('.');
  AppendNumber(out, d.year, 4);
}

// Appends "dd.mm.yyyy hh:mm:ss", and once in a while a time of another length.
void AppendTime(std::string& out, Random& random, const Day& d, std::size_t minuteOfDay) {
  const std::size_t odd = random.Below(300);
  if (odd != 0) {
    AppendDate(out, d);
    out.push_back(' ');
  }
  AppendNumber(out, minuteOfDay / 60 % 24, 2);
  out.push_back(':');
  AppendNumber(out, minuteOfDay % 60, 2);
  if (odd == 1) return;
  out.push_back(':');
  AppendNumber(out, random.Below(60), 2);
}

// Appends a contact; notices changes a few of its values, the draws staying the same.
void AppendContact(std::string& out, Random& random, Notices notices) {
  const Day day{1 + random.Below(28), 1 + random.Below(12), 1995 + random.Below(30)};
  const std::size_t minute = random.Below(24 * 60);
  std::size_t band = random.Below(kBands.size() * 2) % kBands.size();
  constexpr std::size_t kTableBands = 13;
  if (notices == Notices::kNone) band %= kTableBands;
  const std::string_view mode = random.Pick(kModes);
  const bool cw = mode == "CW";

  out.append(random.Pick(kDxcc)).push_back(',');
  const std::size_t callStart = out.size();
  AppendCall(out, random);
  const std::string call = out.substr(callStart);
  out.push_back(',');
  if (notices == Notices::kEveryRecord) {
    static_cast<void>(random.OneIn(200));
    AppendNumber(out, day.day, 2);  // 05.03.00: a year of two digits, never read
    out.push_back('.');
    AppendNumber(out, day.month, 2);
    out.push_back('.');
    AppendNumber(out, day.year % 100, 2);
  } else if (random.OneIn(200)) {
    AppendNumber(out, day.day, 1);  // 5.3.2000: a date of another length
    out.push_back('.');
    AppendNumber(out, day.month, 1);
    out.push_back('.');
    AppendNumber(out, day.year, 4);
  } else {
    AppendDate(out, day);
  }
  out.push_back(',');
  AppendTime(out, random, day, minute);
  out.push_back(',');
  if (random.Below(5) < 2) AppendTime(out, random, day, minute + 1 + random.Below(10));
  out.push_back(',');
  out.append(kBands[band]).push_back(',');
  out.append(mode).push_back(',');
  out.append(kFrequencies[band]).push_back(',');
  out.append(random.Pick(kNames)).push_back(',');
  if (random.OneIn(5)) out.append("OP1");
  out.push_back(',');
  if (random.OneIn(500) && notices != Notices::kNone) {
    out.append("up 5|listening");  // a bar, which the record writes as a slash
  } else {
    out.append(random.Pick(kComments));
  }
  out.push_back(',');
  out.push_back(static_cast<char>('A' + random.Below(18)));
  out.push_back(static_cast<char>('A' + random.Below(18)));
  AppendNumber(out, random.Below(100), 2);
  AppendLetters(out, random, 2);
  out.push_back(',');
  out.append(random.Pick(kPlaces)).push_back(',');
  out.append(cw ? "599," : "59,");
  if (random.OneIn(2)) AppendNumber(out, 1 + random.Below(999), 3);
  out.push_back(',');
  out.append(cw ? "579," : "57,");
  if (random.OneIn(2)) AppendNumber(out, 1 + random.Below(999), 3);
  out.push_back(',');
  out.append(random.Pick(kQslReceived)).push_back(',');
  out.append(random.Pick(kQslSent)).push_back(',');
  out.append(random.Pick(kQslAction)).push_back(',');
  if (random.OneIn(10)) out.append("SP");
  out.push_back(',');
  if (random.OneIn(6)) out.append("Home");
  out.push_back(',');
  if (random.OneIn(10)) out.append("CQ-DX");
  out.push_back(',');
  if (random.OneIn(10)) AppendCall(out, random);
  out.push_back(',');
  out.append(random.Pick(kRegions)).push_back(',');
  // The prefix: a leading EA8/ or F/ without its slash, else the call up to its first digit.
  const std::size_t slash = call.find('/');
  if (slash < 4) {
    out.append(call, 0, slash);
  } else {
    out.append(call, 0, call.find_first_of("0123456789") + 1);
  }
}

// Places the columns of a shuffled export: column k of INFO's order goes to field kShuffle[k].
constexpr std::array<std::size_t, 26> kShuffle = {
    25, 3, 11, 0, 19, 7, 1, 14, 22, 5, 9, 17, 2, 24, 12, 6, 20, 15, 8, 23, 4, 18, 10, 13, 21, 16};

// Appends line with its 26 fields in the order of kShuffle; a quoted field's commas are its own.
void AppendShuffled(std::string& out, std::string_view line) {
  std::array<std::string_view, 26> fields{};
  std::size_t k = 0;
  std::size_t start = 0;
  bool quoted = false;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] == '"') quoted = !quoted;
    if (i < line.size() && (quoted || line[i] != ',')) continue;
    fields.at(kShuffle.at(k++)) = line.substr(start, i - start);
    start = i + 1;
  }
  for (std::size_t f = 0; f < fields.size(); ++f) {
    if (f > 0) out.push_back(',');
    out.append(fields[f]);
  }
}

}  // namespace

bool WriteSyntheticExport(const std::string& path, std::uint64_t lines, bool shuffled,
                          Notices notices) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                             &std::fclose);
  if (!file) return false;
  constexpr std::size_t kBlock = 1024 * 1024;
  std::string buffer;
  buffer.reserve(kBlock + 1024);
  Random random;
  std::string line;
  for (std::uint64_t i = 0; i < lines; ++i) {
    if (!shuffled) {
      if (i == 0) {
        buffer.append(kHeader);
      } else {
        AppendContact(buffer, random, notices);
      }
    } else {
      line.clear();
      if (i == 0) {
        line.append(kHeader);
      } else {
        AppendContact(line, random, notices);
      }
      AppendShuffled(buffer, line);
    }
    buffer.append("\r\n");
    if (buffer.size() >= kBlock || i + 1 == lines) {
      if (std::fwrite(buffer.data(), 1, buffer.size(), file.get()) != buffer.size()) return false;
      buffer.clear();
    }
  }
  return std::fflush(file.get()) == 0;
}

}  // namespace bench
