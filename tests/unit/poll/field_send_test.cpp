#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "poll_fixture.h"

namespace pollcycle::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(PollCycleTest, ChangedFieldsGoOutInSendOrderWithFrequencyLast) {
    connectBoth();
    fldigi.set("log.get_call", "DL1ABC");
    fldigi.set("log.get_name", "Hans");
    fldigi.set("log.get_qth", "Berlin");
    fldigi.set("log.get_frequency", "14070.000");
    fldigi.set("log.get_rst_in", "579");
    fldigi.set("log.get_rst_out", "589");
    fldigi.set("modem.get_name", "BPSK31");
    fldigi.set("log.get_locator", "JO62");
    fldigi.set("log.get_state", "BE");
    fldigi.set("log.get_province", "Brandenburg");
    fldigi.set("log.get_notes", "M\xc3\xbcller <&> \"'");

    tick();

    EXPECT_THAT(hostCalls(),
                ElementsAre("SetQsoField 0 DL1ABC", "SetQsoField 1 Hans", "SetQsoField 3 Berlin",
                            "SetQsoField 2 579", "SetQsoField 5 589", "SetMode BPSK31",
                            "SetQsoField 10 JO62", "SetQsoField 7 BE", "SetQsoField 8 Brandenburg",
                            "SetQsoField 4 M\xc3\xbcller <&> \"'", "SetFrequency 14070000.0"));
    EXPECT_EQ(state.lastSent.notes, "M\xc3\xbcller <&> \"'");

    tick();  // nothing changed: nothing sent
    EXPECT_THAT(hostCalls(), IsEmpty());
}

TEST_F(PollCycleTest, FieldGoingEmptySendsTheEmptyText) {
    connectBoth();
    fldigi.set("log.get_call", "DL1ABC");
    fldigi.set("log.get_frequency", "7035.000");
    fldigi.set("modem.get_name", "MFSK16");
    tick();

    fldigi.set("log.get_call", "");
    fldigi.set("log.get_frequency", "");
    fldigi.set("modem.get_name", "");
    tick();
    EXPECT_THAT(hostCalls(), ElementsAre("SetQsoField 0 ", "SetMode ", "SetFrequency 0.0"));
}

TEST_F(PollCycleTest, NonStringResultReadsAsEmptyText) {
    connectBoth();
    fldigi.set("log.get_name", "Hans");
    tick();
    fldigi.replies["log.get_name"] = FldigiReply{true, false, "ignored"};
    tick();
    EXPECT_THAT(hostCalls(), ElementsAre("SetQsoField 1 "));
}

TEST_F(PollCycleTest, UnchangedModemMakesNoModeCallWhateverElseChanged) {
    connectBoth();
    fldigi.set("modem.get_name", "PSK500R");
    tick();
    EXPECT_THAT(hostCalls(), ElementsAre("RunMacro <MODEADD:PSKR>"));

    fldigi.set("log.get_call", "DL1ABC");
    fldigi.set("log.get_frequency", "3580.000");
    tick();
    EXPECT_THAT(hostCalls(), ElementsAre("SetQsoField 0 DL1ABC", "SetFrequency 3580000.0"));
}

struct ModemRow {
    const char* modem;
    const char* hostCall;  // the one host call a change to `modem` makes
};

void PrintTo(const ModemRow& row, std::ostream* out) {
    *out << '"' << row.modem << '"';
}

class ModemRuleTest : public PollCycleTest, public ::testing::WithParamInterface<ModemRow> {};

TEST_P(ModemRuleTest, ChangedModemMakesExactlyOneHostCall) {
    connectBoth();
    fldigi.set("modem.get_name", GetParam().modem);
    tick();
    EXPECT_THAT(hostCalls(), ElementsAre(GetParam().hostCall));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ModemRuleTest,
    ::testing::Values(
        ModemRow{"DOMX16", "RunMacro <MODEADD:DOMINO>"},
        ModemRow{"DOMINOEX22", "RunMacro <MODEADD:DOMINO>"},
        ModemRow{"IFKP", "RunMacro <MODEADD:IFKP>"}, ModemRow{"8PSK125", "RunMacro <MODEADD:8PSK>"},
        ModemRow{"8PSK125R", "RunMacro <MODEADD:8PSK>"},  // before PSKR
        ModemRow{"PSK125R", "RunMacro <MODEADD:PSKR>"},
        ModemRow{"PSK250R", "RunMacro <MODEADD:PSKR>"},
        ModemRow{"PSK500R", "RunMacro <MODEADD:PSKR>"},
        ModemRow{"PSK1000R", "RunMacro <MODEADD:PSKR>"},
        ModemRow{"FSQ-3", "RunMacro <MODEADD:FSQ>"},
        ModemRow{"BPSK63F", "RunMacro <MODEADD:BPSK63F>"},
        ModemRow{"CTSTIA", "RunMacro <MODE:CONTESTIA>"},
        ModemRow{"FELDHELL", "RunMacro <MODE:HELL>"},
        ModemRow{"HELL MFSK", "RunMacro <MODE:HELL>"},  // rule order
        ModemRow{"MFSK16", "RunMacro <MODE:MFSK>"}, ModemRow{"MT63-1KS", "RunMacro <MODE:MT63>"},
        ModemRow{"Olivia", "RunMacro <MODE:OLIVIA>"},
        ModemRow{"Olivia-8-250", "RunMacro <MODE:OLIVIA>"}, ModemRow{"BPSK31", "SetMode BPSK31"},
        ModemRow{"OLIVIA", "SetMode OLIVIA"},        // case-sensitive
        ModemRow{"CONTESTIA", "SetMode CONTESTIA"},  // "CTSTIA" is not in it
        ModemRow{"psk500r", "SetMode psk500r"}, ModemRow{"PSK63R", "SetMode PSK63R"},
        ModemRow{"RTTY", "SetMode RTTY"},
        // fldigi 4.2's new and renamed modems: DOMEX Micro is a DominoEX mode; THOR and SCAMP
        // have no macro of their own.
        ModemRow{"DOMEXM", "RunMacro <MODEADD:DOMINO>"}, ModemRow{"THORM", "SetMode THORM"},
        ModemRow{"THOR56", "SetMode THOR56"}, ModemRow{"SCAMPFSK", "SetMode SCAMPFSK"},
        ModemRow{"SCFSKVSL", "SetMode SCFSKVSL"}, ModemRow{"SCOOKSLW", "SetMode SCOOKSLW"}));

struct FrequencyRow {
    const char* text;
    double hertz;
};

void PrintTo(const FrequencyRow& row, std::ostream* out) {
    *out << '"' << row.text << '"';
}

class FrequencySendTest : public PollCycleTest,
                          public ::testing::WithParamInterface<FrequencyRow> {};

TEST_P(FrequencySendTest, FrequencyTextGoesOutInHertz) {
    connectBoth();
    state.lastSent.frequency = "previous";
    fldigi.set("log.get_frequency", GetParam().text);
    tick();
    ASSERT_EQ(host.frequencies.size(), 1u);
    EXPECT_EQ(host.frequencies[0], GetParam().hertz);
}

INSTANTIATE_TEST_SUITE_P(Texts, FrequencySendTest,
                         ::testing::Values(FrequencyRow{"14070.000", 14070000.0},
                                           FrequencyRow{"7.0355e3", 7035500.0},
                                           FrequencyRow{"", 0.0}, FrequencyRow{"kHz 7035", 0.0},
                                           FrequencyRow{"  \t3580.250", 3580250.0},
                                           FrequencyRow{"14071.500 kHz", 14071500.0}));

}  // namespace
}  // namespace pollcycle::testing
