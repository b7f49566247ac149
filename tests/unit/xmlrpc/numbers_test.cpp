#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "xmlrpc/numbers.h"

namespace {

struct LongCase {
    const char* text;
    bool converted;
    int32_t value;
    size_t consumed;
};

TEST(Numbers, ParseLong32BehavesLikeStrtolWith32BitLong) {
    const std::vector<LongCase> cases = {
        {"0", true, 0, 1},
        {"42", true, 42, 2},
        {"-12", true, -12, 3},
        {"+7<", true, 7, 2},
        {" \t\n\v\f\r5", true, 5, 7},
        {"42abc", true, 42, 2},
        {"0x10", true, 0, 1},
        {"007", true, 7, 3},
        {"2147483647", true, 2147483647, 10},
        {"2147483648", true, 2147483647, 10},
        {"99999999999", true, 2147483647, 11},
        {"-2147483648", true, std::numeric_limits<int32_t>::min(), 11},
        {"-2147483649", true, std::numeric_limits<int32_t>::min(), 11},
        {"-99999999999999999999999", true, std::numeric_limits<int32_t>::min(), 24},
        {"", false, 0, 0},
        {"-", false, 0, 0},
        {"+ 1", false, 0, 0},
        {"abc", false, 0, 0},
        {"  ", false, 0, 0},
    };
    for (const LongCase& c : cases) {
        const char* stop = nullptr;
        int32_t value = 0;
        EXPECT_EQ(parseLong32(c.text, nullptr, &stop, &value), c.converted) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(static_cast<size_t>(stop - c.text), c.consumed) << c.text;
    }
}

TEST(Numbers, ParseLong32StopsAtEnd) {
    const char* text = "12345";
    const char* stop;
    int32_t value;
    ASSERT_TRUE(parseLong32(text, text + 3, &stop, &value));
    EXPECT_EQ(value, 123);
    EXPECT_EQ(stop, text + 3);
    EXPECT_FALSE(parseLong32(text, text, &stop, &value));
}

struct DoubleCase {
    const char* text;
    bool converted;
    double value;
    size_t consumed;
};

TEST(Numbers, ParseDoubleUsesPointInEveryLocale) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<DoubleCase> cases = {
        {"2.5", true, 2.5, 3},
        {".5", true, 0.5, 2},
        {"5.", true, 5.0, 2},
        {"  -1.25e2<", true, -125.0, 9},
        {"+1E-2", true, 0.01, 5},
        {"1,5", true, 1.0, 1},
        {"1e", true, 1.0, 1},
        {"1e+", true, 1.0, 1},
        {"0x1p3", true, 0.0, 1},
        {"1e999", true, inf, 5},
        {"-1e999", true, -inf, 6},
        {"1e-999", true, 0.0, 6},
        {"0.000000000000000000000000000000001e-300", true, 0.0, 40},
        {"123456789012345678901234567890", true, 1.2345678901234568e29, 30},
        {"inf", true, inf, 3},
        {"-Infinity", true, -inf, 9},
        {"", false, 0.0, 0},
        {".", false, 0.0, 0},
        {"-.e1", false, 0.0, 0},
        {"abc", false, 0.0, 0},
    };
    for (const DoubleCase& c : cases) {
        const char* stop = nullptr;
        double value = 0.0;
        EXPECT_EQ(parseDouble(c.text, &stop, &value), c.converted) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(static_cast<size_t>(stop - c.text), c.consumed) << c.text;
    }
    const char* stop;
    double value;
    ASSERT_TRUE(parseDouble("NaN(1)<", &stop, &value));
    EXPECT_TRUE(std::isnan(value));
    EXPECT_EQ(*stop, '<');
}

TEST(Numbers, IntsAreWrittenPlainly) {
    const std::vector<std::pair<int32_t, const char*>> cases = {
        {0, "0"},
        {-5, "-5"},
        {7, "7"},
        {1000000, "1000000"},
        {std::numeric_limits<int32_t>::max(), "2147483647"},
        {std::numeric_limits<int32_t>::min(), "-2147483648"}};
    for (const auto& [value, text] : cases) {
        std::string out = "x";
        appendInt32(out, value);
        EXPECT_EQ(out, std::string("x") + text);
    }
}

TEST(Numbers, DoublesAreWrittenWithSixDigitsAndThreeDigitExponent) {
    const std::vector<std::pair<double, const char*>> cases = {
        {0.1, "0.1"},
        {2.5, "2.5"},
        {100.0, "100"},
        {0.0, "0"},
        {-0.0, "-0"},
        {123456.0, "123456"},
        {1234567.0, "1.23457e+006"},
        {123456789.0, "1.23457e+008"},
        {0.0001, "0.0001"},
        {0.00001, "1e-005"},
        {-0.000123456789, "-0.000123457"},
        {1e100, "1e+100"},
        {-2.5e-300, "-2.5e-300"},
        {1.7976931348623157e308, "1.79769e+308"},
        {4.9e-324, "4.94066e-324"},
        {999999.5, "1e+006"},
        {14070.0, "14070"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"},
    };
    for (const auto& [value, text] : cases) {
        std::string out;
        appendDouble(out, value);
        EXPECT_EQ(out, text);
    }
}

}  // namespace
