// The poll cycle's view of the host program Kebrin and its automation object.
#pragma once

#include <cstdint>
#include <string>

namespace pollcycle {

// The host's contact fields, SetQsoField's first argument, and their names as the operator
// knows them (the log writes them).
struct HostField {
    int32_t index;
    const char* name;
};
namespace hostfield {
inline constexpr HostField kCall{0, "call"};
inline constexpr HostField kName{1, "name"};
inline constexpr HostField kRstReceived{2, "RST rcvd"};
inline constexpr HostField kQth{3, "QTH"};
inline constexpr HostField kNotes{4, "notes"};
inline constexpr HostField kRstSent{5, "RST sent"};
inline constexpr HostField kState{7, "state"};
inline constexpr HostField kProvince{8, "province"};
inline constexpr HostField kLocator{10, "locator"};
inline constexpr HostField kAll[] = {kCall,    kName,  kRstReceived, kQth,    kNotes,
                                     kRstSent, kState, kProvince,    kLocator};
}  // namespace hostfield

// One member per automation member of the host it stands for (RunMacro, SetQsoField, the puts
// of Frequency and Mode), named in the ports' style.
class HostPort {
  public:
    virtual ~HostPort() = default;
    // Obtains the running host's automation interface. False when no instance is running (or
    // its class is not registered); the attempt leaves nothing behind and may be repeated.
    virtual bool attach() = 0;
    // The four members used, each one automation call. A failed call throws; the poll cycle
    // lets the exception out of the tick.
    virtual void runMacro(const std::string& macro) = 0;
    virtual void setQsoField(int32_t index, const std::string& text) = 0;
    virtual void setFrequency(double hertz) = 0;
    virtual void setMode(const std::string& mode) = 0;
    // Whether the calls now reach the host's interface; false when they are skipped (the
    // object granted none, or the session has ended).
    virtual bool callsReachHost() const { return true; }
};

}  // namespace pollcycle
