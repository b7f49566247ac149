// CWinApp: the application object. Run() is the body of WinMain: it runs InitInstance and,
// when that returns true, a message loop until WM_QUIT; a dialog application does its work
// inside InitInstance and returns false.
#pragma once

#include "framework/cmd_target.h"

#include <windows.h>

#include <string>

class CWnd;

class CWinApp : public CCmdTarget {
  public:
    CWinApp() = default;

    // The process's exit code.
    int Run();

    virtual bool InitInstance();

    // The main window; its unhandled commands (ID_HELP) come to the application.
    void SetMainWnd(CWnd* window);

    // The standard help command: this program ships no help file, so it says so.
    void OnHelp();

    static const CRuntimeClass classCWinApp;
    const CRuntimeClass* GetRuntimeClass() const override { return &classCWinApp; }
    static const MessageMap* GetThisMessageMap();
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  protected:
    CWnd* m_pMainWnd = nullptr;

  private:
    int m_exitCode = 0;
};
