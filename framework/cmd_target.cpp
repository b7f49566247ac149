#include "framework/cmd_target.h"

bool MessageMapEntry::Matches(UINT message, WPARAM wParam) const {
    if (message < firstMessage || message > lastMessage) {
        return false;
    }
    if (message != WM_COMMAND) {
        return true;
    }
    return LOWORD(wParam) == commandId && HIWORD(wParam) == notifyCode;
}

const MessageMapEntry* MessageMap::Find(UINT message, WPARAM wParam) const {
    for (const MessageMap* map = this; map != nullptr; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* entry = map->first; entry != map->last; ++entry) {
            if (entry->Matches(message, wParam)) {
                return entry;
            }
        }
    }
    return nullptr;
}

const CRuntimeClass CCmdTarget::classCCmdTarget{"CCmdTarget", nullptr};

const CRuntimeClass* CCmdTarget::GetRuntimeClass() const {
    return &classCCmdTarget;
}

const MessageMap* CCmdTarget::GetThisMessageMap() {
    static const MessageMap map{nullptr, nullptr, nullptr};
    return &map;
}

const MessageMap* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

bool CCmdTarget::OnCmdMsg(UINT id, UINT code) {
    const WPARAM wParam = MAKEWPARAM(id, code);
    const MessageMapEntry* entry = GetMessageMap()->Find(WM_COMMAND, wParam);
    if (entry == nullptr) {
        return false;
    }
    entry->invoke(*this, WM_COMMAND, wParam, 0);
    return true;
}
