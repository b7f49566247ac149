#include "framework/win_app.h"

#include "framework/program_name.h"
#include "framework/wnd.h"

const CRuntimeClass CWinApp::classCWinApp{"CWinApp", &CCmdTarget::classCCmdTarget};

const MessageMap* CWinApp::GetThisMessageMap() {
    static const MessageMap map{&CCmdTarget::GetThisMessageMap, nullptr, nullptr};
    return &map;
}

int CWinApp::Run() {
    if (!InitInstance()) {
        return m_exitCode;
    }
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (message.message == WM_QUIT) {
        m_exitCode = static_cast<int>(message.wParam);
    }
    return m_exitCode;
}

bool CWinApp::InitInstance() {
    return true;
}

void CWinApp::SetMainWnd(CWnd* window) {
    if (m_pMainWnd != nullptr) {
        m_pMainWnd->SetCommandRoute(nullptr);
    }
    m_pMainWnd = window;
    if (window != nullptr) {
        window->SetCommandRoute(this);
    }
}

void CWinApp::OnHelp() {
    HWND owner = m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr;
    ::MessageBoxW(owner, L"No help is available for this program.", ProgramName().c_str(),
                  MB_OK | MB_ICONINFORMATION);
}
