// kebrin-sim.exe started by a test, with a journal and a ready file in the temp folder; stopped
// (by its process handle) when the object goes away.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class SimProcess {
  public:
    // Starts the stand-in with `extraArgs` and waits (bounded) until its object is in the
    // running object table. Check Ready() before using it.
    explicit SimProcess(const std::vector<std::wstring>& extraArgs = {});
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    ~SimProcess();

    bool Ready() const { return m_ready; }
    // Why it isn't ready, for the test's failure message.
    const std::string& Problem() const { return m_problem; }
    bool Running() const;
    DWORD Pid() const { return m_process.dwProcessId; }

    // Asks it to quit through WM_CLOSE and waits for the process to end; false on a timeout.
    bool Quit();
    // TerminateProcess, then waits for the end.
    void Kill();
    // Waits (bounded) for the process to end on its own.
    bool WaitForExit(DWORD milliseconds);
    // SendMessage(WM_COMMAND, id) to its main window: handled when this returns.
    bool Command(int id);
    // The text its window shows.
    std::wstring WindowText() const;
    // The journal's lines, without line feeds.
    std::vector<std::string> JournalLines() const;
    std::string JournalBytes() const;

    // A fresh path in the temp folder.
    static std::wstring TempPath(const wchar_t* suffix);
    // kebrin-sim.exe with `args`: its exit code after it ended by itself (bounded wait).
    static DWORD RunToCompletion(const std::vector<std::wstring>& args);

  private:
    HWND mainWindow() const;

    PROCESS_INFORMATION m_process{};
    std::wstring m_journalPath;
    std::wstring m_readyPath;
    bool m_ready = false;
    std::string m_problem;
};

// The path of kebrin-sim.exe in this build.
std::wstring SimExecutablePath();
