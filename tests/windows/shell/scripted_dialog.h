// A test dialog that runs a script once it is shown, then ends. The script runs inside the
// dialog's modal loop, from a posted message, so painting and sent messages work as in the
// application. A ten-second timer ends a dialog whose script forgot to.
#pragma once

#include "framework/dialog.h"
#include "framework_test_ids.h"

#include <functional>
#include <utility>

class ScriptedDialog : public CDialog {
  public:
    static constexpr UINT kRunScript = WM_APP + 1;
    static constexpr int kTimedOut = -2;

    explicit ScriptedDialog(std::function<void(ScriptedDialog&)> script)
        : CDialog(IDD_TEST_DIALOG), m_script(std::move(script)) {}

    int m_twoState = 0;
    int m_threeState = 0;

    void DoDataExchange(CDataExchange* exchange) override {
        DDX_Check(exchange, IDC_TWO_STATE, m_twoState);
        DDX_Check(exchange, IDC_THREE_STATE, m_threeState);
    }

    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        SetTimer(kWatchdogTimer, 10000);
        PostMessage(kRunScript);
        return true;
    }

    static const MessageMap* GetThisMessageMap() {
        static const MessageMapEntry entries[] = {
            OnMessage<kRunScript, &ScriptedDialog::RunScript>(),
            OnWmTimer<&ScriptedDialog::OnTimer>(),
        };
        static const MessageMap map = MakeMessageMap(&CDialog::GetThisMessageMap, entries);
        return &map;
    }
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  private:
    static constexpr UINT_PTR kWatchdogTimer = 99;

    LRESULT RunScript(WPARAM, LPARAM) {
        if (m_script) {
            m_script(*this);
        }
        return 0;
    }
    void OnTimer(UINT_PTR id) {
        if (id == kWatchdogTimer) {
            EndDialog(kTimedOut);
        }
    }

    std::function<void(ScriptedDialog&)> m_script;
};
