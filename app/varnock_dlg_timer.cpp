// The poll cycle's entry point in the main window.
#include "app/varnock_dlg.h"

void CVarnockDlg::OnTimer(UINT_PTR) {
    // The poll cycle runs here once it is wired in: one tick per timer message.
}
