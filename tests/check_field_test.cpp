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

INSTANTIATE_TEST_SUITE_P(
    Band, CheckFieldTest,
    testing::Values(Case{7, "10m", "28"}, Case{7, "15m", "21"}, Case{7, "20m", "14"},
                    Case{7, "40m", "7"}, Case{7, "80m", "3.5"}, Case{7, "160m", "1.8"},
                    Case{7, "30m", "10"}, Case{7, "17m", "18"}, Case{7, "12m", "24"},
                    Case{7, "6m", "50"}, Case{7, "2m", "144"}, Case{7, "70cm", "432"},
                    Case{7, "23cm", "1200"}, Case{7, "20M", "20M"}, Case{7, "20 m", "20 m"},
                    Case{7, "60m", "60m"}, Case{7, " ", " "}));

INSTANTIATE_TEST_SUITE_P(
    Prefix, CheckFieldTest,
    testing::Values(Case{33, "4UI", "4U1I"}, Case{33, "4UIT", "4U1I"}, Case{33, "4UU", "4U1U"},
                    Case{33, "UAAS", "UA9"}, Case{33, "UAEU", "UA"}, Case{33, "W", "K"},
                    Case{33, "CO", "CM"}, Case{33, "OKOM", "OK"}, Case{33, "UJ", "UK"},
                    Case{33, "VP8F", "VP8"}, Case{33, "VR", "VS6"}, Case{33, "ZB2", "ZB"},
                    Case{33, "WA", "WA"}, Case{33, "w", "w"}, Case{33, "UA", "UA"}));

// Only the check XCheck names applies: a band is no prefix, a call no band.
INSTANTIATE_TEST_SUITE_P(OtherChecks, CheckFieldTest,
                         testing::Values(Case{0, "AB/CD", "AB/CD"}, Case{1, "20m", "20m"},
                                         Case{3, "W", "W"}, Case{-2, "AB/CD", "AB/CD"},
                                         Case{7, "AB/CD", "AB/CD"}, Case{33, "20m", "20m"},
                                         Case{2, "W", "W"}));

// Checks names a byte away from those of the tables: one changed, added or dropped.
TEST(CheckValue, MapsOnlyTheExactNamesOfItsTables) {
  const std::vector<std::pair<int, std::vector<std::string>>> tables = {
      {7,
       {"10m", "15m", "20m", "40m", "80m", "160m", "30m", "17m", "12m", "6m", "2m", "70cm",
        "23cm"}},
      {33, {"4UI", "4UIT", "4UU", "UAAS", "UAEU", "W", "CO", "OKOM", "UJ", "VP8F", "VR", "ZB2"}}};
  for (const auto& [check, names] : tables) {
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
