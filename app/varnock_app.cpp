#include "app/varnock_app.h"

#include "app/bridge.h"
#include "app/bridge_run.h"
#include "app/varnock_dlg.h"
#include "app/windows_poll_view.h"

#include <commctrl.h>

const MessageMap* CVarnockApp::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {
        OnCommand<ID_HELP, &CWinApp::OnHelp>(),
    };
    static const MessageMap map = MakeMessageMap(&CWinApp::GetThisMessageMap, entries);
    return &map;
}

bool CVarnockApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    CWinApp::InitInstance();

    CVarnockDlg dialog;
    DialogPollView view(dialog);
    Bridge bridge(m_run, view, view);
    dialog.m_bridge = &bridge;
    SetMainWnd(&dialog);
    const INT_PTR result = dialog.DoModal();
    SetMainWnd(nullptr);
    // Finish ended the session already; ×, Esc and Alt+F4 end it here, the same way.
    bridge.Finish();
    m_run.Note(result == IDOK ? "Finish" : "window closed");
    return false;
}
