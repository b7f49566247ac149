#include "app/varnock_dlg.h"

#include "app/about_dlg.h"
#include "app/bridge.h"
#include "app/poll/poll_cycle.h"
#include "framework/dc.h"

#include <string>

namespace {

constexpr COLORREF kBackgroundColor = RGB(255, 250, 198);
constexpr COLORREF kTextBackgroundColor = RGB(255, 240, 198);
constexpr COLORREF kTextColor = RGB(0, 0, 0);

// The indicators' "not load" look: a magenta rectangle with a yellow caption.
constexpr COLORREF kNotLoadedFace = RGB(255, 0, 255);
constexpr COLORREF kNotLoadedCaption = RGB(255, 255, 0);
constexpr COLORREF kDisabledCaption = RGB(128, 128, 128);
constexpr int kRectangleShape = 0;

// Takes the template's check box over as an indicator and gives it its starting look.
void AttachIndicator(CAdvancedButton& indicator, UINT controlId, CWnd* dialog) {
    if (indicator.SubclassDlgItem(controlId, dialog)) {
        indicator.m_faceColor = kNotLoadedFace;
        indicator.m_captionColor = pollcycle::kWorkingCaptionColor;
        indicator.m_disabledCaptionColor = kDisabledCaption;
    }
    indicator.m_shapeKind = kRectangleShape;
    indicator.Redraw();
    indicator.SetCaptionColor(kNotLoadedCaption);
}

std::wstring LoadResourceString(UINT id) {
    const wchar_t* text = nullptr;
    const int length =
        ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length))
                                         : std::wstring();
}

}  // namespace

bool IsAboutCommand(UINT commandId) {
    return (commandId & ~UINT{0xF}) == IDM_ABOUTBOX;
}

POINT MinimizedIconOrigin(const RECT& client, int iconWidth, int iconHeight) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    return POINT{(width - iconWidth + 1) / 2, (height - iconHeight + 1) / 2};
}

const MessageMap* CVarnockDlg::GetThisMessageMap() {
    static const MessageMapEntry entries[] = {
        OnWmSysCommand<&CVarnockDlg::OnSysCommand>(),
        OnWmPaint<&CVarnockDlg::OnPaint>(),
        OnWmQueryDragIcon<&CVarnockDlg::OnQueryDragIcon>(),
        OnWmTimer<&CVarnockDlg::OnTimer>(),
        OnWmCtlColor<&CVarnockDlg::OnCtlColor>(),
        OnBnClicked<IDOK, &CVarnockDlg::OnBnClickedFinish>(),
        OnCommandCode<IDC_STATUS_LINE, STN_CLICKED, &CVarnockDlg::OnStatusLineClicked>(),
    };
    static const MessageMap map = MakeMessageMap(&CDialog::GetThisMessageMap, entries);
    return &map;
}

CVarnockDlg::CVarnockDlg(CWnd* parent)
    : CDialog(IDD, parent),
      m_hIcon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                              MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 0, 0,
                                              LR_DEFAULTSIZE | LR_SHARED))) {}

void CVarnockDlg::DoDataExchange(CDataExchange* exchange) {
    CDialog::DoDataExchange(exchange);
    DDX_Check(exchange, IDC_HOST_INDICATOR, m_hostChecked);
    DDX_Check(exchange, IDC_FLDIGI_INDICATOR, m_fldigiChecked);
}

bool CVarnockDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CMenu systemMenu = GetSystemMenu(false);
    const std::wstring aboutText = LoadResourceString(IDS_ABOUTBOX);
    if (systemMenu && !aboutText.empty()) {
        systemMenu.AppendMenu(MF_SEPARATOR);
        systemMenu.AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutText.c_str());
    }

    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    m_backgroundBrush.CreateSolidBrush(kBackgroundColor);

    AttachIndicator(m_fldigiIndicator, IDC_FLDIGI_INDICATOR, this);
    AttachIndicator(m_hostIndicator, IDC_HOST_INDICATOR, this);
    m_statusLine.Attach(m_hWnd, IDC_STATUS_LINE);

    SetTimer(pollcycle::kPollTimerId, pollcycle::kPollPeriodMs);
    return true;
}

void CVarnockDlg::OnSysCommand(UINT commandId, LPARAM) {
    if (IsAboutCommand(commandId)) {
        CAboutDlg about(this);
        about.DoModal();
        return;
    }
    Default();
}

void CVarnockDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()));
    const POINT origin = MinimizedIconOrigin(GetClientRect(), ::GetSystemMetrics(SM_CXICON),
                                             ::GetSystemMetrics(SM_CYICON));
    dc.DrawIcon(origin.x, origin.y, m_hIcon);
}

HCURSOR CVarnockDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

HBRUSH CVarnockDlg::OnCtlColor(HDC dc, HWND control, UINT) {
    Default();
    CDC context = CDC::FromHandle(dc);
    context.SetBkColor(kTextBackgroundColor);
    if (m_statusLine.IsControl(control)) {
        // The status line's text lies on the dialog's own colour, without a band behind it.
        context.SetTextColor(m_statusLine.TextColor());
        context.SetBkMode(TRANSPARENT);
    } else {
        context.SetTextColor(kTextColor);
    }
    return m_backgroundBrush;
}

void CVarnockDlg::OnTimer(UINT_PTR) {
    if (m_bridge != nullptr) {
        m_bridge->OnTimer();
    }
}

void CVarnockDlg::OnStatusLineClicked() {
    m_statusLine.OpenInExplorer();
}

void CVarnockDlg::OnBnClickedFinish() {
    OnOK();
    if (m_bridge != nullptr) {
        m_bridge->Finish();
    }
}
