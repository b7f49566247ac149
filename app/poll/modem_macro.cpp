#include "app/poll/modem_macro.h"

#include <initializer_list>

namespace pollcycle {
namespace {

struct ModemRule {
    std::initializer_list<const char*> substrings;
    const char* macro;
};

// Order matters: "8PSK125R" is an 8PSK mode, not a PSKR one; a name with both HELL and MFSK
// is a HELL mode.
const ModemRule kModemRules[] = {
    {{"DOM"}, "<MODEADD:DOMINO>"},
    {{"IFKP"}, "<MODEADD:IFKP>"},
    {{"8PSK"}, "<MODEADD:8PSK>"},
    {{"PSK125R", "PSK250R", "PSK500R", "PSK1000R"}, "<MODEADD:PSKR>"},
    {{"FSQ"}, "<MODEADD:FSQ>"},
    {{"BPSK63F"}, "<MODEADD:BPSK63F>"},
    {{"CTSTIA"}, "<MODE:CONTESTIA>"},
    {{"HELL"}, "<MODE:HELL>"},
    {{"MFSK"}, "<MODE:MFSK>"},
    {{"MT63"}, "<MODE:MT63>"},
    {{"Olivia"}, "<MODE:OLIVIA>"},
};

}  // namespace

const char* modeMacroForModem(const std::string& modem) {
    for (const ModemRule& rule : kModemRules) {
        for (const char* substring : rule.substrings) {
            if (modem.find(substring) != std::string::npos) {
                return rule.macro;
            }
        }
    }
    return nullptr;
}

}  // namespace pollcycle
