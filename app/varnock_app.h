// CVarnockApp: the application object. It shows the main dialog modally, with the bridge that
// runs behind it, and ends with it.
#pragma once

#include "framework/win_app.h"

class BridgeRun;

class CVarnockApp : public CWinApp {
  public:
    // `run`: the endpoint and the log from the command line.
    explicit CVarnockApp(BridgeRun& run) : m_run(run) {}

    bool InitInstance() override;

    static const MessageMap* GetThisMessageMap();
    const MessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

  private:
    BridgeRun& m_run;
};
