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

// Letters and digits only, letters in upper case: "OLIVIA 8/500" and "OLIVIA-8-500" alike.
std::string modeKey(const std::string& text) {
    std::string key;
    for (const char c : text) {
        if (c >= 'a' && c <= 'z') {
            key += static_cast<char>(c - 'a' + 'A');
        } else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            key += c;
        }
    }
    return key;
}

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

bool modemIsRecordMode(const std::string& modem, const std::string& mode,
                       const std::string& submode) {
    const std::string& logged = submode.empty() ? mode : submode;
    const char* loggedMacro = modeMacroForModem(logged);
    if (loggedMacro == nullptr && !submode.empty()) {
        loggedMacro = modeMacroForModem(mode);
    }
    const char* modemMacro = modeMacroForModem(modem);
    if (loggedMacro != nullptr && modemMacro != nullptr) {
        return std::string(loggedMacro) == modemMacro;
    }
    std::string name = modeKey(modem);
    if (name.compare(0, 4, "BPSK") == 0) {
        name.erase(0, 1);  // fldigi logs BPSK31 as PSK31
    }
    const std::string key = modeKey(logged);
    if (key.empty()) {
        return false;
    }
    return submode.empty() ? name.compare(0, key.size(), key) == 0 : name == key;
}

std::string modemTextForRecordMode(const std::string& mode, const std::string& submode,
                                   const std::string& current) {
    if (mode.empty() && submode.empty()) {
        return std::string();
    }
    if (modemIsRecordMode(current, mode, submode)) {
        return current;
    }
    if (!submode.empty() && modeMacroForModem(submode) != nullptr) {
        return submode;
    }
    if (modeMacroForModem(mode) != nullptr) {
        return mode;
    }
    return submode.empty() ? mode : submode;
}

}  // namespace pollcycle
