#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "line_converter.h"
#include "reference.h"
#include "test_support.h"

namespace {

using conversion::LineStatus;

using conversion::kUsedFields;

// Returns why SplitFields reads line otherwise than the fuzzers' reference, or nothing.
std::string Disagreement(const std::string& line) {
  conversion::Fields dati{};
  conversion::LineCopy copy;
  bool holdsBar = false;
  const bool split = conversion::SplitFields(line, copy, dati, holdsBar);
  const std::vector<std::string> expected = reference::Fields(line);
  if (split != (expected.size() >= kUsedFields)) {
    return "split " + std::to_string(split) + ", the reference finds " +
           std::to_string(expected.size()) + " fields";
  }
  if (!split) return {};
  bool bar = false;
  for (std::size_t i = 0; i < kUsedFields; ++i) {
    const std::string value = expected[i].empty() ? " " : expected[i];
    if (dati[i] != value) {
      return "field " + std::to_string(i) + " is [" + std::string(dati[i]) + "], not [" + value +
             "]";
    }
    bar = bar || value.find('|') != std::string::npos;
  }
  if (bar && !holdsBar) return "a bar in the fields was missed";
  return {};
}

// Returns a line of size bytes, letters and 25 commas spread evenly.
std::string Filler(std::size_t size) {
  std::string line(size, 'a');
  for (std::size_t k = 1; k < kUsedFields; ++k) line[k * size / kUsedFields] = ',';
  return line;
}

TEST(SplitFields, ReadsMarksAtEveryPlaceAroundTheWordsOf64Bytes) {
  // Writes each text over every place of lines one word long, two and three,
  // and a byte shorter or longer, so that commas, quotes, blanks and bars fall
  // on the last byte of a word, on the first of the next and across.
  const std::vector<std::string> texts = {
      ",",      "\"",      "|",        " ",       R"("")", " ,",      ", ",     R"(,")", R"(",)",
      R"(",")", R"("a,b)", R"(,  "x)", R"(x" ,)", "| |",   R"("a|b)", R"(""")", ",,,"};
  for (const std::size_t size :
       std::to_array<std::size_t>({52, 63, 64, 65, 100, 127, 128, 129, 191, 192, 193})) {
    for (std::size_t at = 0; at < size; ++at) {
      for (const std::string& text : texts) {
        std::string line = Filler(size);
        line.replace(at, std::min(text.size(), size - at), text, 0, size - at);
        const std::string problem = Disagreement(line);
        ASSERT_EQ(problem, "") << "line of " << line.size() << " bytes: " << line;
      }
    }
  }
}

// Returns a line of 26 fields of filler with field replaced by value.
std::string FillerWith(std::size_t field, const std::string& value) {
  std::vector<std::string> fields(kUsedFields, "aa");
  fields.at(field) = value;
  std::string line;
  for (const std::string& f : fields) line += (line.empty() ? "" : ",") + f;
  return line;
}

TEST(SplitFields, ReadsQuotedFieldsThatRunAcrossWords) {
  for (std::size_t inside = 0; inside < 200; inside += 7) {
    for (const std::size_t field : std::to_array<std::size_t>({0, 3, 24, 25})) {
      // Puts commas, a pair of quotes and a bar inside, blanks and text after the closing quote.
      const std::string quoted =
          " \"" + std::string(inside, 'q') + ",\"\"|," + std::string(inside, 'r');
      std::string line = FillerWith(field, quoted + "\" tail  ");
      ASSERT_EQ(Disagreement(line), "") << line;
      line = FillerWith(field, quoted);  // left open, it runs to the end of the line
      ASSERT_EQ(Disagreement(line), "") << line;
    }
  }
}

TEST(SplitFields, ReadsRandomLinesAsTheReference) {
  // Draws short fields and long ones, so that fields start and end anywhere in a word.
  std::mt19937 random(64);
  const std::vector<std::string> alphabets = {",,,,,\"\" a|", "aaaaaaaaaaaaa,,\" |",
                                              "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa,,\"  |"};
  for (int n = 0; n < 30000; ++n) {
    const std::string& alphabet = alphabets[static_cast<std::size_t>(n) % alphabets.size()];
    std::string line;
    for (std::size_t i = random() % 400; i > 0; --i) line += alphabet[random() % alphabet.size()];
    ASSERT_EQ(Disagreement(line), "") << line;
  }
}

TEST(SplitFields, TellsWhetherTheFieldsHoldABar) {
  conversion::Fields dati{};
  conversion::LineCopy copy;
  bool holdsBar = true;
  ASSERT_TRUE(conversion::SplitFields(test::kContact, copy, dati, holdsBar));
  EXPECT_FALSE(holdsBar);
  for (const std::size_t at : std::to_array<std::size_t>({0, 63, 64, 127, 128})) {
    std::string line = Filler(200);
    line[at] = '|';
    ASSERT_TRUE(conversion::SplitFields(line, copy, dati, holdsBar)) << at;
    EXPECT_TRUE(holdsBar) << at;
  }
  // Reads a quoted last field that runs past the words marked before it.
  const std::string last = "\"" + std::string(200, 'x') + "|\"";
  ASSERT_TRUE(conversion::SplitFields(FillerWith(25, last), copy, dati, holdsBar));
  EXPECT_EQ(dati[25], std::string(200, 'x') + "|");
  EXPECT_TRUE(holdsBar);
  // Moves the bar at byte 64 to byte 63, of a word marked before, by a pair of quotes.
  const std::string moved = std::string(59, 'a') + R"(,"a""|b")" + std::string(24, ',');
  ASSERT_EQ(moved.find('|'), 64u);
  ASSERT_TRUE(conversion::SplitFields(moved, copy, dati, holdsBar));
  EXPECT_EQ(dati[1], "a\"|b");
  EXPECT_TRUE(holdsBar);
}

TEST(ShapeOf, CountsFieldsAsTheConversionSplitsThem) {
  // Lines of commas, quotes, blanks and letters: a line converts exactly when
  // its shape holds 26 fields, and a quote left open closes at the end.
  std::mt19937 random(12);
  const std::string alphabet = ",,,,,\"\" a";
  for (int n = 0; n < 20000; ++n) {
    std::string line;
    for (std::size_t i = random() % 60; i > 0; --i) line += alphabet[random() % alphabet.size()];
    conversion::FormState form;
    form.Linea = line;
    test::Recorder host;
    const bool converted = conversion::ConvertLine(form, host).status == LineStatus::Converted;
    const conversion::LineShape shape = conversion::ShapeOf(line);
    ASSERT_EQ(converted, shape.fields >= 26) << line;
    ASSERT_LE(shape.fields, 26u) << line;
    if (shape.openQuote) {  // a blank and a quote close it and add no field
      const conversion::LineShape closed = conversion::ShapeOf(line + " \"");
      ASSERT_FALSE(closed.openQuote) << line;
      ASSERT_EQ(closed.fields, shape.fields) << line;
    }
  }
  EXPECT_FALSE(conversion::ShapeOf("a,\"b\",c").openQuote);
  EXPECT_TRUE(conversion::ShapeOf("a,\"b\"\"c").openQuote);
  EXPECT_TRUE(conversion::ShapeOf("a,  \"b,c").openQuote);
  EXPECT_FALSE(conversion::ShapeOf("a,b\"c").openQuote);  // a quote inside a field is text
  EXPECT_EQ(conversion::ShapeOf("a,  \"b,c").fields, 2u);
}

TEST(ConvertLine, WritesBarsAroundTheWordBoundaryAsSlashes) {
  for (const std::size_t size : std::to_array<std::size_t>({64, 128})) {
    for (std::size_t at = 0; at < size; ++at) {
      std::string line = Filler(size);
      if (line[at] == ',') continue;
      line[at] = '|';
      conversion::FormState form;
      form.Linea = line;
      form.NomeUtente = "NAME";
      test::Recorder host;
      ASSERT_EQ(conversion::ConvertLine(form, host).status, conversion::LineStatus::Converted);
      EXPECT_EQ(std::count(form.Linea1.begin(), form.Linea1.end(), '|'), 49) << line;
    }
  }
}

}  // namespace
