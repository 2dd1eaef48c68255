// Writes conversion/platform/generated/day_half_words.cpp, the AM and PM words of every language,
// from the CLDR data that ICU carries: each available locale's words of the Gregorian calendar and
// of its own default calendar, in UTF-8 and in the byte form of the locale's Windows ANSI code
// page.
//
// Usage: write_day_halves OUTPUT
//
// The code page of a locale is the one Windows gives its language: 1250 to Czech, Hungarian,
// Polish, Romanian, Slovak, Slovenian, Croatian, Bosnian, Serbian (Latin), Albanian and Turkmen;
// 1254 to Turkish, Azerbaijani and Uzbek in Latin letters; 1257 to Estonian, Latvian and
// Lithuanian; 1258 to Vietnamese; 1252 to every other language in Latin letters. A language in
// another script takes the one code page Windows has for that script: 1251 Cyrillic, 1253 Greek,
// 1255 Hebrew, 1256 Arabic, 874 Thai, 932 Japanese, 936 Simplified and 950 Traditional Chinese,
// 949 Korean. A language for which Windows has no code page of its own (many African languages
// in Latin letters, Kazakh) still gets its script's: the programs of such a PC that write 8-bit
// text use the code page of the system locale, which writes that script. Scripts that no Windows
// code page holds (Devanagari, Bengali, Georgian, Amharic, ...) give no 8-bit form.
//
// The words are stored with every blank (U+0020, U+00A0, U+202F) as a space, which the reader
// takes for any blank. A word of Latin letters matches in any case; since the reader folds
// ASCII letters only, such a word is stored in upper and in lower case too when it holds other
// letters. A word that means AM in one language and PM in another, compared ignoring the case
// of ASCII letters, is left out of its table: the 8-bit one holds the forms of every code page,
// since a run knows only that an export is 8-bit, not which code page wrote it. Left out too is
// a word that a Time field holds for another reason: a digit or ':' in it, or the name of a
// time scale.

#include <unicode/calendar.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ulocdata.h>
#include <unicode/uscript.h>
#include <unicode/uvernum.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using icu::UnicodeString;

// Returns the Windows ANSI code page of a locale, or an empty name when it has none.
std::string CodePageOf(const icu::Locale& locale) {
  UErrorCode status = U_ZERO_ERROR;
  icu::Locale likely(locale);
  likely.addLikelySubtags(status);
  const std::string language = likely.getLanguage();
  const std::string script = likely.getScript();
  const auto among = [&](std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return language == n; });
  };
  if (script == "Latn") {
    if (among({"cs", "hu", "pl", "ro", "sk", "sl", "hr", "bs", "sr", "sq", "tk"})) {
      return "windows-1250";
    }
    if (among({"tr", "az", "uz"})) return "windows-1254";
    if (among({"et", "lv", "lt"})) return "windows-1257";
    if (among({"vi"})) return "windows-1258";
    return "windows-1252";
  }
  static const std::map<std::string, std::string> kByScript = {
      {"Cyrl", "windows-1251"}, {"Grek", "windows-1253"}, {"Hebr", "windows-1255"},
      {"Arab", "windows-1256"}, {"Thai", "windows-874"},  {"Jpan", "windows-932"},
      {"Hans", "windows-936"},  {"Hant", "windows-950"},  {"Kore", "windows-949"}};
  const auto found = kByScript.find(script);
  return found == kByScript.end() ? std::string() : found->second;
}

// Returns the code page's number, as the table's comments name it.
std::string CodePageNumber(const std::string& name) { return name.substr(name.find('-') + 1); }

// Writes every blank as a space and drops those around the word.
UnicodeString PlainBlanks(UnicodeString word) {
  word.findAndReplace(UnicodeString(static_cast<UChar32>(0x00A0)), UnicodeString(u" "));
  word.findAndReplace(UnicodeString(static_cast<UChar32>(0x202F)), UnicodeString(u" "));
  return word.trim();
}

// Returns true when the word's letters are all Latin ones, and it has some.
bool IsLatin(const UnicodeString& word) {
  bool latin = false;
  for (int32_t i = 0; i < word.length(); i = word.moveIndex32(i, 1)) {
    const UChar32 c = word.char32At(i);
    if (!u_isalpha(c)) continue;
    UErrorCode status = U_ZERO_ERROR;
    const UScriptCode script = uscript_getScript(c, &status);
    if (script == USCRIPT_COMMON || script == USCRIPT_INHERITED) continue;
    if (script != USCRIPT_LATIN) return false;
    latin = true;
  }
  return latin;
}

bool HasNonAscii(const UnicodeString& word) {
  for (int32_t i = 0; i < word.length(); ++i) {
    if (word.charAt(i) >= 0x80) return true;
  }
  return false;
}

std::string Utf8(const UnicodeString& word) {
  std::string text;
  word.toUTF8String(text);
  return text;
}

// Returns the word in the code page, or nothing when the code page lacks a character of it.
bool Encode(const UnicodeString& word, const std::string& codePage, std::string& bytes) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(codePage.c_str(), &status);
  if (U_FAILURE(status)) {
    std::cerr << "no converter for " << codePage << "\n";
    std::exit(1);
  }
  ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  char buffer[256];
  const int32_t n =
      ucnv_fromUChars(converter, buffer, sizeof buffer, word.getBuffer(), word.length(), &status);
  ucnv_close(converter);
  if (U_FAILURE(status)) return false;
  bytes.assign(buffer, static_cast<std::size_t>(n));
  return true;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(std::string text) {
  for (char& c : text) c = UpperAscii(c);
  return text;
}

// Holds one byte form of a word and where it comes from.
struct Form {
  std::string bytes;             // as first met; a form that matches in any case stands for all
  std::set<std::string> halves;  // "AM", "PM"
  bool anyCase = false;
  std::set<std::string> sources;  // the word in UTF-8 and, for 8-bit forms, the code page
};

// Holds the forms of one table by their bytes, with a to z upper-cased for a form that
// matches in any case.
using Table = std::map<std::string, Form>;

void Add(Table& table, const std::string& bytes, bool pm, bool anyCase, const std::string& source) {
  Form& form = table[anyCase ? UpperAscii(bytes) : bytes];
  if (form.bytes.empty()) form.bytes = bytes;
  form.halves.insert(pm ? "PM" : "AM");
  form.anyCase = form.anyCase || anyCase;
  form.sources.insert(source);
}

// Removes the forms that mean AM and PM alike, ignoring the case of ASCII letters; returns
// what each removed form was taken for.
std::vector<std::string> RemoveConflicts(Table& table) {
  std::map<std::string, std::set<std::string>> halvesOf;
  for (const auto& [bytes, form] : table) {
    halvesOf[UpperAscii(form.bytes)].insert(form.halves.begin(), form.halves.end());
  }
  std::vector<std::string> removed;
  for (auto it = table.begin(); it != table.end();) {
    if (halvesOf[UpperAscii(it->second.bytes)].size() > 1) {
      const std::set<std::string>& halves = it->second.halves;
      const std::string meaning = halves.size() > 1 ? "AM and PM" : *halves.begin();
      for (const std::string& source : it->second.sources) {
        removed.push_back(source + " (" + meaning + ")");
      }
      it = table.erase(it);
    } else {
      ++it;
    }
  }
  std::sort(removed.begin(), removed.end());
  removed.erase(std::unique(removed.begin(), removed.end()), removed.end());
  return removed;
}

// Writes bytes as a C++ string literal.
std::string Literal(const std::string& bytes) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string text = "\"";
  bool escaped = false;  // the last byte was a hex escape, which a hex digit would continue
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80 || u < 0x20 || c == '"' || c == '\\') {
      text += "\\x";
      text += kHex[u >> 4];
      text += kHex[u & 15];
      escaped = true;
      continue;
    }
    if (escaped && std::isxdigit(u)) text += "\" \"";
    text += c;
    escaped = false;
  }
  return text + "\"";
}

// Orders words as the reader looks them up: by their first byte with a to z upper-cased, then
// by their bytes.
bool Before(const std::string& a, const std::string& b) {
  const char x = UpperAscii(a[0]);
  const char y = UpperAscii(b[0]);
  if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  return a < b;
}

void WriteTable(std::ostream& out, const char* name, const Table& table) {
  std::vector<const Form*> order;
  for (const auto& entry : table) order.push_back(&entry.second);
  std::sort(order.begin(), order.end(),
            [](const Form* a, const Form* b) { return Before(a->bytes, b->bytes); });
  out << "constexpr std::array<DayHalfWord, " << order.size() << "> " << name << " = {{\n";
  for (const Form* entry : order) {
    const Form& form = *entry;
    const std::string& bytes = form.bytes;
    std::string comment;
    for (const std::string& source : form.sources) {
      const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
      const bool same = form.anyCase ? UpperAscii(source) == UpperAscii(bytes) : source == bytes;
      if (same && ascii) continue;
      comment += (comment.empty() ? "  // " : ", ") + source;
    }
    out << "    DayHalfWord{" << Literal(bytes) << ", "
        << (form.halves.count("PM") ? "true" : "false") << ", " << (form.anyCase ? "true" : "false")
        << "}," << comment << "\n";
  }
  out << "}};\n";
}

// Writes the list of left-out words as comment lines of at most 100 columns.
void WriteList(std::ostream& out, const std::string& lead, const std::vector<std::string>& items) {
  std::string line = "//" + lead;
  std::size_t width = UnicodeString::fromUTF8(line).length();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::string item = " " + items[i] + (i + 1 < items.size() ? "," : ".");
    const std::size_t itemWidth = static_cast<std::size_t>(UnicodeString::fromUTF8(item).length());
    if (width + itemWidth > 100) {
      out << line << "\n";
      line = "//  ";
      width = 4;
    }
    line += item;
    width += itemWidth;
  }
  out << line << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: write_day_halves OUTPUT\n";
    return 2;
  }
  UErrorCode status = U_ZERO_ERROR;
  UVersionInfo cldr;
  ulocdata_getCLDRVersion(cldr, &status);
  // Names of time scales, which a Time field may hold after the time.
  const std::set<std::string> kTimeScales = {"UT", "UTC", "GMT", "Z"};

  Table utf8;
  Table eightBit;
  std::set<std::string> otherReason;
  int32_t count = 0;
  const icu::Locale* locales = icu::Locale::getAvailableLocales(count);
  for (int32_t i = 0; i < count; ++i) {
    const icu::Locale& locale = locales[i];
    status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(locale, status));
    if (U_FAILURE(status)) return 1;
    const std::string codePage = CodePageOf(locale);
    for (const char* type : {"gregorian", calendar->getType()}) {
      status = U_ZERO_ERROR;
      const icu::DateFormatSymbols symbols(locale, type, status);
      if (U_FAILURE(status)) return 1;
      int32_t n = 0;
      const UnicodeString* words = symbols.getAmPmStrings(n);
      for (int32_t half = 0; half < std::min(n, 2); ++half) {
        const UnicodeString word = PlainBlanks(words[half]);
        const std::string text = Utf8(word);
        const bool pm = half == 1;
        if (word.isEmpty()) continue;
        if (text.find_first_of("0123456789:") != std::string::npos ||
            kTimeScales.count(UpperAscii(text)) > 0) {
          otherReason.insert(text + std::string(pm ? " (PM)" : " (AM)"));
          continue;
        }
        const bool latin = IsLatin(word);
        std::vector<UnicodeString> forms = {word};
        if (latin && HasNonAscii(word)) {
          forms.push_back(UnicodeString(word).toUpper(icu::Locale::getRoot()));
          forms.push_back(UnicodeString(word).toLower(icu::Locale::getRoot()));
        }
        for (const UnicodeString& form : forms) {
          Add(utf8, Utf8(form), pm, latin, Utf8(form));
          std::string bytes;
          if (!codePage.empty() && Encode(form, codePage, bytes)) {
            Add(eightBit, bytes, pm, latin, Utf8(form) + " " + CodePageNumber(codePage));
          }
        }
      }
    }
  }
  const std::vector<std::string> utf8Removed = RemoveConflicts(utf8);
  const std::vector<std::string> eightBitRemoved = RemoveConflicts(eightBit);

  std::ofstream out(argv[1], std::ios::binary);
  out << "// Generated by scripts/day-halves/write_day_halves.cpp; written again by: bash "
         "scripts/make-day-halves.sh\n"
      << "// The AM and PM words of every language, from Unicode CLDR " << int{cldr[0]}
      << " as ICU " << U_ICU_VERSION << " carries it:\n"
      << "// change the generator, not this file.\n"
      << "//\n";
  WriteList(out, " Left out of the UTF-8 words for meaning AM and PM alike:", utf8Removed);
  WriteList(out, " Left out of the 8-bit words for meaning AM and PM alike:", eightBitRemoved);
  WriteList(out, " Left out for what a Time field holds besides:",
            std::vector<std::string>(otherReason.begin(), otherReason.end()));
  out << "\n#include <array>\n\n#include \"regional_dates.h\"\n\n"
      << "namespace conversion::platform {\n\nnamespace {\n\n"
      << "// clang-format off\n";
  WriteTable(out, "kUtf8Words", utf8);
  out << "\n";
  WriteTable(out, "kEightBitWords", eightBit);
  out << "// clang-format on\n\n}  // namespace\n\n"
      << "std::span<const DayHalfWord> DayHalfWords(bool eightBit) {\n"
      << "  if (eightBit) return kEightBitWords;\n"
      << "  return kUtf8Words;\n"
      << "}\n\n}  // namespace conversion::platform\n";
  std::cout << utf8.size() << " UTF-8 words, " << eightBit.size() << " 8-bit words\n";
  return out ? 0 : 1;
}
