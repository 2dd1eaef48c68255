#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "check_field.h"
#include "conversion.h"

namespace {

using Case = std::tuple<int, std::string, std::string>;  // check, value, result

class CheckFieldTest : public testing::TestWithParam<Case> {};

using Row = std::pair<std::string, std::string>;  // name, what the check gives for it

// The bands and their frequencies in MHz, as check 7 must give them.
std::vector<Row> Bands() {
  return {{"10m", "28"},   {"15m", "21"},   {"20m", "14"},   {"40m", "7"},  {"80m", "3.5"},
          {"160m", "1.8"}, {"30m", "10"},   {"17m", "18"},   {"12m", "24"}, {"6m", "50"},
          {"2m", "144"},   {"70cm", "432"}, {"23cm", "1200"}};
}

// The DXCC prefixes the logbook writes differently, as check 33 must give them.
std::vector<Row> Prefixes() {
  return {{"4UI", "4U1I"}, {"4UIT", "4U1I"}, {"4UU", "4U1U"}, {"UAAS", "UA9"},
          {"UAEU", "UA"},  {"W", "K"},       {"CO", "CM"},    {"OKOM", "OK"},
          {"UJ", "UK"},    {"VP8F", "VP8"},  {"VR", "VS6"},   {"ZB2", "ZB"}};
}

// Returns the cases of check: each row's name gives its value, each of unchanged stays as it is.
std::vector<Case> CasesOf(int check, const std::vector<Row>& rows,
                          const std::vector<std::string>& unchanged) {
  std::vector<Case> cases;
  cases.reserve(rows.size() + unchanged.size());
  for (const auto& [name, result] : rows) cases.emplace_back(check, name, result);
  for (const std::string& value : unchanged) cases.emplace_back(check, value, value);
  return cases;
}

TEST_P(CheckFieldTest, GivesTheExpectedValue) {
  const auto& [check, value, result] = GetParam();
  conversion::FormState form;
  form.XCheck = check;
  form.CheckMarigold = value;
  conversion::CheckField(form);
  EXPECT_EQ(form.CheckMarigold, result);
  EXPECT_EQ(form.XCheck, check);
}

INSTANTIATE_TEST_SUITE_P(BaseCall, CheckFieldTest,
                         testing::Values(Case{2, "ABCDEF/P", "ABCDEF"},
                                         Case{2, "PFX/ABCDEF", "ABCDEF"}, Case{2, "AB/CD", "CD"},
                                         Case{2, "PFX/ABCDEF/P", "ABCDEF"},
                                         Case{2, "A/B/C/D", "A/B/C/D"}, Case{2, "ABCDEF", "ABCDEF"},
                                         Case{2, "/ABC", "ABC"}, Case{2, "ABC/", "ABC"},
                                         Case{2, " ", " "}, Case{2, "/", ""}, Case{2, "//", ""},
                                         // Lengths count characters: ÄÖ is two, not four.
                                         Case{2, "\xC3\x84\xC3\x96/ABC", "ABC"},
                                         Case{2, "ABC/\xC3\x84\xC3\x96", "ABC"}));

// A call sign holds a digit; a suffix such as QRP or KHS never does.
INSTANTIATE_TEST_SUITE_P(
    BaseCallHoldsADigit, CheckFieldTest,
    testing::Values(Case{2, "LA5WNA/QRP/P", "LA5WNA"}, Case{2, "9H1VC/KHS/P", "9H1VC"},
                    Case{2, "P/QRP/DL1AB", "DL1AB"}, Case{2, "A1/QRP/B22", "B22"},
                    Case{2, "AB1/QRP/CD2", "CD2"}, Case{2, "DL/HB9XYZ/P", "HB9XYZ"},
                    Case{2, "W1AW/QRPP", "W1AW"}, Case{2, "QRP/W1A", "W1A"},
                    Case{2, "HB9/ABCDEF", "HB9"}, Case{2, "HB9/AB2CDEF", "AB2CDEF"},
                    Case{2, "A/B/C2/D", "A/B/C2/D"}));

INSTANTIATE_TEST_SUITE_P(Band, CheckFieldTest,
                         testing::ValuesIn(CasesOf(7, Bands(), {"20M", "20 m", "60m", " "})));

INSTANTIATE_TEST_SUITE_P(Prefix, CheckFieldTest,
                         testing::ValuesIn(CasesOf(33, Prefixes(), {"WA", "w", "UA"})));

// Only the check XCheck names applies: a band is no prefix, a call no band.
INSTANTIATE_TEST_SUITE_P(OtherChecks, CheckFieldTest,
                         testing::Values(Case{0, "AB/CD", "AB/CD"}, Case{1, "20m", "20m"},
                                         Case{3, "W", "W"}, Case{-2, "AB/CD", "AB/CD"},
                                         Case{7, "AB/CD", "AB/CD"}, Case{33, "20m", "20m"},
                                         Case{2, "W", "W"}));

// Checks names a byte away from those of the tables: one changed, added or dropped.
TEST(CheckValue, MapsOnlyTheExactNamesOfItsTables) {
  for (const auto& [check, rows] : {std::pair{7, Bands()}, std::pair{33, Prefixes()}}) {
    std::vector<std::string> names;
    for (const Row& row : rows) names.push_back(row.first);
    EXPECT_EQ(conversion::CheckValue(check, ""), "");
    for (const std::string& name : names) {
      std::vector<std::string> near = {name + "m", name.substr(1), name.substr(0, name.size() - 1),
                                       name + std::string(1, '\0'), "x" + name};
      for (std::size_t i = 0; i < name.size(); ++i) {
        for (const int delta : {1, -1, 0x20, 0x80}) {
          std::string changed = name;
          changed[i] = static_cast<char>(changed[i] + delta);
          near.push_back(changed);
        }
      }
      for (const std::string& value : near) {
        if (std::find(names.begin(), names.end(), value) != names.end()) continue;
        EXPECT_EQ(conversion::CheckValue(check, value), value) << check << " " << value;
      }
    }
  }
}

TEST(CheckField, BaseCallWithVeryManySlashesStaysUnchanged) {
  conversion::FormState form;
  form.XCheck = 2;
  form.CheckMarigold = std::string(40000, '/');
  conversion::CheckField(form);
  EXPECT_EQ(form.CheckMarigold, std::string(40000, '/'));
}

}  // namespace
