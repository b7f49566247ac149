// The root of every object that receives messages or commands: its message table and its
// run-time class information.
#pragma once

#include "framework/message_map.h"

#include <windows.h>

// Run-time class information: a class's name and its base class's record.
struct CRuntimeClass {
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
};

class CCmdTarget {
  public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual const MessageMap* GetMessageMap() const;

    // Runs the table's handler for a WM_COMMAND with this id and notification code, if there
    // is one; true when a handler ran.
    bool OnCmdMsg(UINT id, UINT code);

    static const CRuntimeClass classCCmdTarget;
    static const MessageMap* GetThisMessageMap();
};
