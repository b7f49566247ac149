#include "app/poll/frequency_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <ostream>
#include <string>

namespace pollcycle {
namespace {

struct NumberRow {
    const char* text;
    double expected;
};

void PrintTo(const NumberRow& row, std::ostream* out) {
    for (const char* p = row.text; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x20 && c < 0x7F) {
            *out << *p;
        } else {
            *out << "\\x" << std::hex << static_cast<int>(c) << std::dec;
        }
    }
}

class LeadingNumberTest : public ::testing::TestWithParam<NumberRow> {};

TEST_P(LeadingNumberTest, ReadsLikeAtofWithPointOrCommaAsDecimalPoint) {
    EXPECT_EQ(leadingDecimalNumber(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumberTest,
    ::testing::Values(NumberRow{"14070.000", 14070.0}, NumberRow{"7.0355e3", 7035.5},
                      NumberRow{"7.0355E+3", 7035.5}, NumberRow{"70355e-1", 7035.5},
                      NumberRow{"", 0.0}, NumberRow{"abc", 0.0}, NumberRow{"kHz 7", 0.0},
                      NumberRow{" \t\n\v\f\r42", 42.0}, NumberRow{"+3.5", 3.5},
                      NumberRow{"-1.25", -1.25}, NumberRow{".5", 0.5}, NumberRow{"5.", 5.0},
                      NumberRow{".", 0.0}, NumberRow{"-", 0.0}, NumberRow{"+.e3", 0.0},
                      NumberRow{"1e", 1.0}, NumberRow{"1e+", 1.0}, NumberRow{"2E-x", 2.0},
                      NumberRow{"14071,500", 14071.5}, NumberRow{"1,5", 1.5}, NumberRow{",5", 0.5},
                      NumberRow{"-,25", -0.25}, NumberRow{"5,", 5.0}, NumberRow{"5, 1", 5.0},
                      NumberRow{"1,x", 1.0}, NumberRow{",", 0.0}, NumberRow{"1,5e3", 1500.0},
                      NumberRow{"1.5,3", 1.5}, NumberRow{"1,5,3", 1.5},
                      NumberRow{"14,071500", 14.0715}, NumberRow{"infinity", 0.0},
                      NumberRow{"-inf", 0.0}, NumberRow{"nan(12)", 0.0}, NumberRow{" +Inf5", 0.0},
                      NumberRow{"0x10", 0.0}, NumberRow{"inf", 0.0}, NumberRow{"nan", 0.0},
                      NumberRow{"007.5", 7.5}, NumberRow{"1e-400", 0.0},
                      NumberRow{"0.0000e99999999999", 0.0}, NumberRow{"- 1", 0.0},
                      NumberRow{"14070.000\xc2\xa0kHz", 14070.0}));

TEST(LeadingNumber, OverflowGivesInfinityWithItsSign) {
    EXPECT_EQ(leadingDecimalNumber("1e308"), 1e308);
    EXPECT_EQ(leadingDecimalNumber("1.8e308"), HUGE_VAL);
    EXPECT_EQ(leadingDecimalNumber("1e400"), HUGE_VAL);
    EXPECT_EQ(leadingDecimalNumber("-123456e99999999999"), -HUGE_VAL);
    EXPECT_EQ(leadingDecimalNumber("0.001e312"), HUGE_VAL);
    EXPECT_EQ(leadingDecimalNumber("0.001e-330"), 0.0);
}

TEST(LeadingNumber, PointAndCommaAreDecimalSeparatorsInEveryLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    bool switched = false;
    for (const char* name : {"ru_RU.UTF-8", "de_DE.UTF-8", "Russian_Russia.1251", "German"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            switched = true;
            break;
        }
    }
    const double pointText = leadingDecimalNumber("14070.250");
    const double commaText = leadingDecimalNumber("14070,250");
    std::setlocale(LC_NUMERIC, saved.c_str());
    ASSERT_TRUE(switched) << "no locale with a decimal comma is installed (scripts/install-deps "
                             "generates ru_RU.UTF-8 and de_DE.UTF-8)";
    EXPECT_EQ(pointText, 14070.25);
    EXPECT_EQ(commaText, 14070.25);
}

TEST(FrequencyHertz, KilohertzTimesThousand) {
    EXPECT_EQ(frequencyHertzFromKilohertzText("14070.000"), 14070000.0);
    EXPECT_EQ(frequencyHertzFromKilohertzText("14071,500"), 14071500.0);
    EXPECT_EQ(frequencyHertzFromKilohertzText("7.0355e3"), 7035500.0);
}

}  // namespace
}  // namespace pollcycle
