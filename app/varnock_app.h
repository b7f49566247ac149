// CVarnockApp: the application object. It shows the main dialog modally and ends with it.
#pragma once

#include "framework/win_app.h"

class CVarnockApp : public CWinApp {
  public:
    bool InitInstance() override;

    static const MessageMap* messageMap();
    const MessageMap* GetMessageMap() const override { return messageMap(); }
};
