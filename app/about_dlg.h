// CAboutDlg: the About box (template 100), opened from the system menu.
#pragma once

#include "app/res/resource.h"
#include "framework/dialog.h"

class CAboutDlg : public CDialog {
  public:
    enum { IDD = IDD_ABOUTBOX };
    explicit CAboutDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}
};
