// Which Kebrin mode macro stands for an fldigi modem name, and which modem a logged record's
// mode stands for.
#pragma once

#include <string>

namespace pollcycle {

// The macro of the first rule whose substring occurs in `modem` (case-sensitive), or nullptr
// when no rule matches and the name goes to the host's Mode property unchanged.
const char* modeMacroForModem(const std::string& modem);

// A logged record's mode (its ADIF MODE and SUBMODE, as fldigi writes them: "PSK"/"PSK31" for
// BPSK31, "MFSK"/"MFSK16", "HELL" without a submode) as the modem text that gives the host the
// record's mode: fldigi's modem name `current` when it is the record's mode (see below),
// otherwise the first of SUBMODE and MODE that a rule matches, otherwise SUBMODE, or MODE when
// there is no SUBMODE. Empty when the record names no mode.
std::string modemTextForRecordMode(const std::string& mode, const std::string& submode,
                                   const std::string& current);

// Whether fldigi's modem name is the mode logged as `mode`/`submode`: both give the host the
// same macro, or the name's letters and digits (upper case, BPSK names without their "B") are
// the submode's, or start with the mode's when there is no submode.
bool modemIsRecordMode(const std::string& modem, const std::string& mode,
                       const std::string& submode);

}  // namespace pollcycle
