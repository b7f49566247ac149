// Resource ids of Varnock.exe, shared by the resource script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_VARNOCK_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_FLDIGI_INDICATOR 1003
#define IDC_HOST_INDICATOR 1004
#define IDC_LINK_MARK 1005
// The status line under the indicators and Finish.
#define IDC_STATUS_LINE 1006

// The About entry's command id in the system menu; the system uses the low four bits itself.
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
