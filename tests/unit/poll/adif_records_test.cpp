#include "app/poll/adif_records.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace pollcycle {
namespace {

// The records as one line: "{NAME=value,...}@end" per record, "!" before a damaged one, and
// " +tail" when an unfinished record follows.
std::string summary(const AdifRecords& found, const std::string& read) {
    std::string text;
    for (const AdifRecord& record : found.records) {
        text += text.empty() ? "" : " ";
        text += record.damaged ? "!{" : "{";
        bool first = true;
        for (const auto& [name, value] : record.fields) {
            text += (first ? "" : ",") + name + "=" + value;
            first = false;
        }
        text += "}@" + std::to_string(record.end);
    }
    // Something other than white space after the last record: one still being written.
    const std::size_t last = found.records.empty() ? 0 : found.records.back().end;
    const bool tail = read.find_first_not_of(" \t\r\n", last) != std::string::npos;
    return text + (tail ? " +tail" : "");
}

struct AdifRow {
    const char* name;
    std::string text;
    const char* expected;
};

void PrintTo(const AdifRow& row, std::ostream* out) {
    *out << row.name;
}

class AdifRecordsTest : public ::testing::TestWithParam<AdifRow> {};

TEST_P(AdifRecordsTest, ReadsTheRecordsItHolds) {
    const AdifRow& row = GetParam();
    EXPECT_EQ(summary(readAdifRecords(row.text), row.text), row.expected);
}

const std::string kFldigiLine =
    "<QSO_DATE:8>20261208<TIME_ON:4>1003<CALL:6>DL1ABC<FREQ:9>14.071500<MODE:3>PSK"
    "<SUBMODE:5>PSK31<RST_SENT:3>599<RST_RCVD:3>579<NAME:4>Hans<QTH:0><STATE:0><VE_PROV:0>"
    "<GRIDSQUARE:6>JO62QM<NOTES:0><EOR>\n";

// A line fldigi 4.2.13 wrote for a Hell contact (with a start date that is not one, seen once):
// TEN_TEN, no SUBMODE, more fields after NOTES; "\r\n" after "<EOR>" as on Windows.
const std::string kFldigi42Line =
    "<QSO_DATE:15>20120602 123000<TIME_ON:6>183917<QSO_DATE_OFF:8>20261209<TIME_OFF:6>183917"
    "<CALL:6>DL1ABC<FREQ:9>14.071500<MODE:4>HELL<RST_SENT:3>599<RST_RCVD:3>599<TX_PWR:1>0"
    "<NAME:7>M\xc3\xbcller<QTH:0><STATE:0><VE_PROV:0><COUNTRY:20>Fed. Rep. of Germany"
    "<GRIDSQUARE:0><STX:3>000<SRX:0><SRX_STRING:0><STX_STRING:0><TEN_TEN:0><NOTES:0><IOTA:0>"
    "<DXCC:0><QSL_VIA:0><QSLRDATE:0><QSLSDATE:0><EQSLRDATE:0><EQSLSDATE:0><LOTWRDATE:0>"
    "<LOTWSDATE:0><EOR>\r\n";

INSTANTIATE_TEST_SUITE_P(
    Texts, AdifRecordsTest,
    ::testing::Values(
        AdifRow{"Empty", "", ""}, AdifRow{"OnlyWhiteSpace", " \r\n\t", ""},
        AdifRow{"FldigisLine", kFldigiLine,
                "{CALL=DL1ABC,FREQ=14.071500,GRIDSQUARE=JO62QM,MODE=PSK,NAME=Hans,NOTES=,QSO_DATE="
                "20261208,QTH=,RST_RCVD=579,RST_SENT=599,STATE=,SUBMODE=PSK31,TIME_ON=1003,VE_"
                "PROV=}@196"},
        AdifRow{"Fldigi42LinesEndingCrLf", kFldigi42Line + "<CALL:2>K2<EOR>\r\n",
                "{CALL=DL1ABC,COUNTRY=Fed. Rep. of Germany,DXCC=,EQSLRDATE=,EQSLSDATE=,FREQ=14."
                "071500,GRIDSQUARE=,IOTA=,LOTWRDATE=,LOTWSDATE=,MODE=HELL,NAME=M\xc3\xbcller,"
                "NOTES=,QSLRDATE=,QSLSDATE=,QSL_VIA=,QSO_DATE=20120602 123000,QSO_DATE_OFF="
                "20261209,QTH=,RST_RCVD=599,RST_SENT=599,SRX=,SRX_STRING=,STATE=,STX=000,STX_"
                "STRING=,TEN_TEN=,TIME_OFF=183917,TIME_ON=183917,TX_PWR=0,VE_PROV=}@432 "
                "{CALL=K2}@449"},
        AdifRow{"TwoRecordsInOrder", "<CALL:2>K1<EOR>\n<CALL:2>K2<EOR>\n",
                "{CALL=K1}@15 {CALL=K2}@31"},
        AdifRow{"LengthCountsBytesOfUtf8",
                "<NAME:16>M\xc3\xbcller \xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd<CALL:2>K1<EOR>",
                "{CALL=K1,NAME=M\xc3\xbcller \xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd}@40"},
        AdifRow{"ValuesAreRawMarkupIncluded", "<QTH:5>A<&>B<NOTES:7>x<EOR>y<CALL:2>K1<EOR>",
                "{CALL=K1,NOTES=x<EOR>y,QTH=A<&>B}@43"},
        AdifRow{"ValueKeepsSpacesAndLineBreaks", "<NOTES:6> a\r\nb <EOR>", "{NOTES= a\r\nb }@20"},
        AdifRow{"FieldNamesAnyCase", "<call:2>K1<Name:1>x<eor>", "{CALL=K1,NAME=x}@24"},
        AdifRow{"TypeIndicator", "<CALL:2:S>K1<FREQ:4:N>14.0<EOR>", "{CALL=K1,FREQ=14.0}@31"},
        AdifRow{"UnknownFieldsAndBareTagsKept", "<APP_X_Y:1>z<FOO>bar<CALL:2>K1<EOR>",
                "{APP_X_Y=z,CALL=K1}@35"},
        AdifRow{"SameFieldTwiceIsDamage", "<CALL:2>K1<CALL:2>K2<EOR>", "!{CALL=K1}@25"},
        AdifRow{"CutAtAFieldRunsIntoTheNext", "<CALL:2>K1<NAME:1>a<CALL:2>K2<TIME_ON:4>1200<EOR>",
                "!{CALL=K1,NAME=a,TIME_ON=1200}@49"},
        AdifRow{"HeaderSkipped", "fldigi log\n<ADIF_VER:5>3.1.0<EOH>\n<CALL:2>K1<EOR>",
                "{CALL=K1}@49"},
        AdifRow{"MissingEorIsUnfinished", "<CALL:2>K1<EOR>\n<CALL:2>K2<NAME:1>x",
                "{CALL=K1}@15 +tail"},
        AdifRow{"CutInsideALength", "<CALL:2>K1<EOR><CALL:", "{CALL=K1}@15 +tail"},
        AdifRow{"CutInsideAValue", "<CALL:2>K1<EOR><NAME:9>Han", "{CALL=K1}@15 +tail"},
        AdifRow{"CutInsideATagName", "<CALL:2>K1<EOR><NA", "{CALL=K1}@15 +tail"},
        AdifRow{"GarbageWithoutTags", "garbage", " +tail"},
        AdifRow{"BadLengthDamagesItsRecordOnly", "<CALL:x>K1<NAME:1>a<EOR><CALL:2>K2<EOR>",
                "!{}@24 {CALL=K2}@39"},
        AdifRow{"FieldsBeforeDamageKept", "<CALL:2>K1<NA ME:1>a<EOR>", "!{CALL=K1}@25"},
        AdifRow{"EmptyTagIsDamage", "<CALL:2>K1<><EOR>", "!{CALL=K1}@17"},
        AdifRow{"HugeLengthIsDamage", "<CALL:99999999999>K1<EOR>", "!{}@25"},
        AdifRow{"DamageWithoutEorIsUnfinished", "<CALL:2>K1<EOR><CALL;2>K2", "{CALL=K1}@15 +tail"}),
    [](const ::testing::TestParamInfo<AdifRow>& info) { return info.param.name; });

TEST(AdifRecord, FieldLookupByUpperCaseName) {
    const AdifRecords found = readAdifRecords("<Call:2>K1<EOR>");
    ASSERT_EQ(found.records.size(), 1u);
    ASSERT_NE(found.records[0].field("CALL"), nullptr);
    EXPECT_EQ(*found.records[0].field("CALL"), "K1");
    EXPECT_EQ(found.records[0].field("NAME"), nullptr);
}

}  // namespace
}  // namespace pollcycle
