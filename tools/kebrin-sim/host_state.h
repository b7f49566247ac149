// What the stand-in host keeps: the contact being entered (field index -> text), the
// frequency and mode, and the contacts saved so far.
#pragma once

#include <map>
#include <string>
#include <vector>

struct SavedContact {
    std::map<long, std::wstring> fields;
    double frequency = 0.0;
    std::wstring mode;
};

class HostState {
  public:
    // "<SAVEQSO>" saves a snapshot of the current contact; "<MODE:X>" and "<MODEADD:X>" set
    // the mode to X; every macro is remembered as the last one run.
    void RunMacro(const std::wstring& macro);
    void SetQsoField(long index, const std::wstring& text) { m_fields[index] = text; }
    void SetFrequency(double frequency) { m_frequency = frequency; }
    void SetMode(const std::wstring& mode) { m_mode = mode; }

    double Frequency() const { return m_frequency; }
    const std::wstring& Mode() const { return m_mode; }
    const std::map<long, std::wstring>& Fields() const { return m_fields; }
    const std::vector<SavedContact>& Contacts() const { return m_contacts; }

    // The state as text for the window, lines separated by CR LF.
    std::wstring Describe() const;

  private:
    std::map<long, std::wstring> m_fields;
    double m_frequency = 0.0;
    std::wstring m_mode;
    std::wstring m_lastMacro;
    std::vector<SavedContact> m_contacts;
};

// Shortest decimal text that reads back as the same double, always with a decimal point
// ("14070000.0", "0.1", "1.0e+300"); non-finite values give "null".
std::string FormatDouble(double value);
