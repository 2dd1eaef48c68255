// Splits export files and lines by the export's rules, byte by byte and
// independently of the converter, for the fuzz targets to compare against.

#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace reference {

inline std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Returns every field of a line split at separator: a field whose first
// character other than a space is a quote runs to the closing quote, "" inside
// stands for one quote and text after the closing quote up to the separator
// is kept less trailing spaces; an unclosed quote runs to the end of the line.
// Other fields are trimmed of spaces. Sets open when the last field is quoted
// and never closed.
inline std::vector<std::string> Fields(std::string_view line, bool* open = nullptr,
                                       char separator = ',') {
  std::vector<std::string> fields;
  if (open != nullptr) *open = false;
  std::size_t pos = 0;
  for (;;) {
    std::size_t start = pos;
    while (start < line.size() && line[start] == ' ') ++start;
    std::string value;
    std::size_t comma = std::string_view::npos;
    if (start < line.size() && line[start] == '"') {
      std::size_t i = start + 1;
      bool closed = false;
      while (i < line.size()) {
        if (line[i] != '"') {
          value.push_back(line[i++]);
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
          value.push_back('"');
          i += 2;
        } else {
          closed = true;
          ++i;
          break;
        }
      }
      if (!closed && open != nullptr) *open = true;
      if (closed) {
        comma = line.find(separator, i);
        std::string_view rest = line.substr(i, comma == std::string_view::npos ? comma : comma - i);
        while (!rest.empty() && rest.back() == ' ') rest.remove_suffix(1);
        value.append(rest);
      }
    } else {
      comma = line.find(separator, pos);
      value = TrimSpaces(line.substr(pos, comma == std::string_view::npos ? comma : comma - pos));
    }
    fields.push_back(std::move(value));
    if (comma == std::string_view::npos) return fields;
    pos = comma + 1;
  }
}

// Returns the lines of a file: CR LF, a lone CR and a lone LF each end one; a
// UTF-8 byte-order mark at the start is not part of the first line.
inline std::vector<std::string_view> Lines(std::string_view file) {
  if (file.starts_with("\xEF\xBB\xBF")) file.remove_prefix(3);
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (file[i] != '\r' && file[i] != '\n') continue;
    lines.push_back(file.substr(start, i - start));
    if (file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < file.size()) lines.push_back(file.substr(start));
  return lines;
}

// Returns the text of a file that starts with a UTF-16 byte-order mark as
// UTF-8, the mark dropped and a lone surrogate or byte as U+FFFD; any other
// file as it is.
inline std::string Utf8Text(std::string_view file) {
  const bool little = file.starts_with("\xFF\xFE");
  if (!little && !file.starts_with("\xFE\xFF")) return std::string(file);
  std::vector<unsigned> units;
  for (std::size_t i = 2; i + 1 < file.size(); i += 2) {
    const unsigned a = static_cast<unsigned char>(file[i]);
    const unsigned b = static_cast<unsigned char>(file[i + 1]);
    units.push_back(little ? (b << 8U) | a : (a << 8U) | b);
  }
  std::vector<unsigned> points;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const unsigned u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      points.push_back(0x10000 + ((u - 0xD800) << 10U) + (units[++i] - 0xDC00));
    } else {
      points.push_back(u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
    }
  }
  if (file.size() % 2 == 1) points.push_back(0xFFFD);
  std::string text;
  for (const unsigned c : points) {
    const auto put = [&text](unsigned bits) { text.push_back(static_cast<char>(bits)); };
    if (c < 0x80) {
      put(c);
    } else if (c < 0x800) {
      put(0xC0 | (c >> 6U));
      put(0x80 | (c & 0x3FU));
    } else if (c < 0x10000) {
      put(0xE0 | (c >> 12U));
      put(0x80 | ((c >> 6U) & 0x3FU));
      put(0x80 | (c & 0x3FU));
    } else {
      put(0xF0 | (c >> 18U));
      put(0x80 | ((c >> 12U) & 0x3FU));
      put(0x80 | ((c >> 6U) & 0x3FU));
      put(0x80 | (c & 0x3FU));
    }
  }
  return text;
}

// Returns ';' or a tab when the first line, split there, holds 26 fields or
// more with Date, in any case, as the third; else the comma.
inline char Separator(const std::vector<std::string_view>& lines) {
  for (const char separator : {';', '\t'}) {
    if (lines.empty()) break;
    const std::vector<std::string> fields = Fields(lines.front(), nullptr, separator);
    if (fields.size() < 26 || fields[2].size() != 4) continue;
    std::string name = fields[2];
    for (char& c : name) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (name == "DATE") return separator;
  }
  return ',';
}

// Names the columns a record reads, in the order of the export's INFO.
inline const std::vector<std::string> kColumns = {
    "DXCC",    "Call",    "Date",     "Time",    "End",         "Band",       "Mode",
    "QRG",     "Name",    "Operator", "Comment", "QTH-Locator", "QTH",        "RSTS",
    "RSTS_NR", "RSTR",    "RSTR_NR",  "QSLR",    "QSLS",        "QSL-Action", "SPEZ",
    "MY-QTH",  "Contest", "QSL-Mgr",  "Region",  "WPX"};

// Tells how an export's lines split and where they hold the columns.
struct Layout {
  char separator = ',';
  std::size_t count = 26;  // a line of fewer fields is skipped
  bool byName = false;
  std::vector<int> at;  // the field of each column of kColumns, -1 when none has its name
};

// Returns the layout the export's first line gives: when, split at the
// comma, ';' or a tab, the first that does, its fields name Call, Date and
// Time, ignoring ASCII case and the blanks and tabs around a name, each column
// is read from the first field of its name, unless every one named stands at
// its place in kColumns and the line holds 26 fields or more. Otherwise the
// columns stand in kColumns' order, split at what Separator finds.
inline Layout LayoutOf(const std::vector<std::string_view>& lines) {
  const auto same = [](std::string_view a, std::string_view b) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      if (upper(a[i]) != upper(b[i])) return false;
    }
    return true;
  };
  Layout layout;
  for (const char separator : {',', ';', '\t'}) {
    if (lines.empty()) break;
    const std::vector<std::string> names = Fields(lines.front(), nullptr, separator);
    std::vector<int> at(kColumns.size(), -1);
    for (std::size_t k = names.size(); k-- > 0;) {
      std::string_view name = names[k];
      while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
      while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
      for (std::size_t c = 0; c < kColumns.size(); ++c) {
        if (same(name, kColumns[c])) at[c] = static_cast<int>(k);
      }
    }
    if (at[1] < 0 || at[2] < 0 || at[3] < 0) continue;
    layout.separator = separator;
    bool inPlace = names.size() >= 26;
    int last = 0;
    for (std::size_t c = 0; c < at.size(); ++c) {
      inPlace = inPlace && (at[c] < 0 || at[c] == static_cast<int>(c));
      last = std::max(last, at[c]);
    }
    if (inPlace) return layout;
    layout.byName = true;
    layout.count = static_cast<std::size_t>(last) + 1;
    layout.at = at;
    return layout;
  }
  layout.separator = Separator(lines);
  return layout;
}

// Returns the fields of a line read as layout says, written again in
// kColumns' order, each quoted, a column without a name as an empty field.
inline std::string InInfoOrder(const Layout& layout, const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t c = 0; c < kColumns.size(); ++c) {
    if (c > 0) line += layout.separator;
    const int k = layout.byName ? layout.at[c] : static_cast<int>(c);
    if (k < 0) continue;
    line += '"';
    for (const char ch : fields[static_cast<std::size_t>(k)]) {
      line += ch;
      if (ch == '"') line += '"';
    }
    line += '"';
  }
  return line;
}

// Holds the text of one record to be and the number of its first line.
struct Joined {
  std::string text;
  std::size_t line = 0;
};

// Joins lines as the converter does for quoted values that hold line breaks:
// a line of fewer than count fields that ends in an open quote takes the lines
// after it, each of fewer than count fields, with a blank between, until the
// text holds count fields; at most 16 lines and 64 KiB, else each line stands
// alone.
inline std::vector<Joined> JoinLines(const std::vector<std::string_view>& lines,
                                     char separator = ',', std::size_t count = 26) {
  std::vector<Joined> joined;
  for (std::size_t i = 0; i < lines.size();) {
    bool open = false;
    std::string text(lines[i]);
    std::size_t next = i + 1;
    if (Fields(text, &open, separator).size() < count && open) {
      for (std::size_t k = i + 1; k < lines.size() && k - i < 16; ++k) {
        if (Fields(lines[k], nullptr, separator).size() >= count ||
            text.size() + 1 + lines[k].size() > 64 * 1024) {
          break;
        }
        text.append(" ").append(lines[k]);
        if (Fields(text, &open, separator).size() >= count) {
          next = k + 1;
          break;
        }
        if (!open) break;
      }
    }
    if (next == i + 1) text = lines[i];
    joined.push_back({std::move(text), i + 1});
    i = next;
  }
  return joined;
}

}  // namespace reference
