// A borrowed menu handle (the system menu, for instance): the system owns the menu.
#pragma once

#include <windows.h>

#include <string>

class CMenu {
  public:
    CMenu() = default;
    explicit CMenu(HMENU menu) : m_hMenu(menu) {}

    HMENU GetSafeHmenu() const { return m_hMenu; }
    explicit operator bool() const { return m_hMenu != nullptr; }

    bool AppendMenu(UINT flags, UINT_PTR id = 0, const wchar_t* text = nullptr) {
        return ::AppendMenuW(m_hMenu, flags, id, text) != FALSE;
    }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    // The item's text; `byPosition` selects MF_BYPOSITION, otherwise MF_BYCOMMAND.
    std::wstring GetMenuString(UINT item, bool byPosition) const;

  private:
    HMENU m_hMenu = nullptr;
};
