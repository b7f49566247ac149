// Per-class message tables: each window class lists the messages it handles and the member
// function that handles each one. A table names its base class's table, so a lookup that
// finds nothing in a derived class goes on in its base.
//
// A table is a static array of entries built with the helpers below, for example
//   static const MessageMapEntry entries[] = {
//       OnWmTimer<&CMyDlg::OnTimer>(),
//       OnBnClicked<IDOK, &CMyDlg::OnFinish>(),
//   };
// Each helper checks the member's signature at compile time and unpacks the message
// parameters for it.
#pragma once

#include <windows.h>

#include <cstddef>

class CCmdTarget;

struct MessageMapEntry {
    UINT firstMessage;
    UINT lastMessage;  // a range of messages (the WM_CTLCOLOR* family); usually firstMessage
    UINT commandId;    // WM_COMMAND: the control or menu id
    UINT notifyCode;   // WM_COMMAND: the notification code
    LRESULT (*invoke)(CCmdTarget& target, UINT message, WPARAM wParam, LPARAM lParam);

    bool Matches(UINT message, WPARAM wParam) const;
};

struct MessageMap {
    const MessageMap* (*base)();  // the base class's table; nullptr at the root
    const MessageMapEntry* first;
    const MessageMapEntry* last;

    // The entry for the message in this table or, failing that, in a base class's table.
    const MessageMapEntry* Find(UINT message, WPARAM wParam) const;
};

template <std::size_t N>
constexpr MessageMap MakeMessageMap(const MessageMap* (*base)(),
                                    const MessageMapEntry (&entries)[N]) {
    return MessageMap{base, entries, entries + N};
}

namespace message_map_detail {

template <class Member>
struct ClassOf;
template <class C, class R, class... A>
struct ClassOf<R (C::*)(A...)> {
    using type = C;
};

template <auto Handler>
auto& Self(CCmdTarget& target) {
    return static_cast<typename ClassOf<decltype(Handler)>::type&>(target);
}

constexpr MessageMapEntry Entry(UINT message,
                                LRESULT (*invoke)(CCmdTarget&, UINT, WPARAM, LPARAM)) {
    return MessageMapEntry{message, message, 0, 0, invoke};
}

}  // namespace message_map_detail

// Any message: LRESULT Handler(WPARAM, LPARAM).
template <UINT Message, auto Handler>
constexpr MessageMapEntry OnMessage() {
    return message_map_detail::Entry(Message, [](CCmdTarget& t, UINT, WPARAM w, LPARAM l) {
        return static_cast<LRESULT>((message_map_detail::Self<Handler>(t).*Handler)(w, l));
    });
}

// WM_COMMAND with the id and notification code: void Handler().
template <UINT Id, UINT Code, auto Handler>
constexpr MessageMapEntry OnCommandCode() {
    return MessageMapEntry{WM_COMMAND, WM_COMMAND, Id, Code,
                           [](CCmdTarget& t, UINT, WPARAM, LPARAM) -> LRESULT {
                               (message_map_detail::Self<Handler>(t).*Handler)();
                               return 0;
                           }};
}

// A menu or accelerator command (notification code 0): void Handler().
template <UINT Id, auto Handler>
constexpr MessageMapEntry OnCommand() {
    return OnCommandCode<Id, 0, Handler>();
}

// A push button's click (BN_CLICKED): void Handler().
template <UINT Id, auto Handler>
constexpr MessageMapEntry OnBnClicked() {
    return OnCommandCode<Id, BN_CLICKED, Handler>();
}

// WM_INITDIALOG: bool Handler(); the result tells the dialog whether to set the default focus.
template <auto Handler>
constexpr MessageMapEntry OnWmInitDialog() {
    return message_map_detail::Entry(WM_INITDIALOG, [](CCmdTarget& t, UINT, WPARAM, LPARAM) {
        return static_cast<LRESULT>((message_map_detail::Self<Handler>(t).*Handler)() ? TRUE
                                                                                      : FALSE);
    });
}

// WM_SYSCOMMAND: void Handler(UINT commandId, LPARAM cursorPosition).
template <auto Handler>
constexpr MessageMapEntry OnWmSysCommand() {
    return message_map_detail::Entry(WM_SYSCOMMAND, [](CCmdTarget& t, UINT, WPARAM w, LPARAM l) {
        (message_map_detail::Self<Handler>(t).*Handler)(static_cast<UINT>(w), l);
        return LRESULT{0};
    });
}

// WM_PAINT: void Handler().
template <auto Handler>
constexpr MessageMapEntry OnWmPaint() {
    return message_map_detail::Entry(WM_PAINT, [](CCmdTarget& t, UINT, WPARAM, LPARAM) {
        (message_map_detail::Self<Handler>(t).*Handler)();
        return LRESULT{0};
    });
}

// WM_QUERYDRAGICON: HCURSOR Handler().
template <auto Handler>
constexpr MessageMapEntry OnWmQueryDragIcon() {
    return message_map_detail::Entry(WM_QUERYDRAGICON, [](CCmdTarget& t, UINT, WPARAM, LPARAM) {
        return reinterpret_cast<LRESULT>((message_map_detail::Self<Handler>(t).*Handler)());
    });
}

// WM_TIMER: void Handler(UINT_PTR timerId).
template <auto Handler>
constexpr MessageMapEntry OnWmTimer() {
    return message_map_detail::Entry(WM_TIMER, [](CCmdTarget& t, UINT, WPARAM w, LPARAM) {
        (message_map_detail::Self<Handler>(t).*Handler)(static_cast<UINT_PTR>(w));
        return LRESULT{0};
    });
}

// Every control-colour request, WM_CTLCOLORMSGBOX to WM_CTLCOLORSTATIC:
// HBRUSH Handler(HDC dc, HWND control, UINT kind), kind being CTLCOLOR_MSGBOX..CTLCOLOR_STATIC.
template <auto Handler>
constexpr MessageMapEntry OnWmCtlColor() {
    return MessageMapEntry{
        WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, 0, 0,
        [](CCmdTarget& t, UINT message, WPARAM w, LPARAM l) {
            return reinterpret_cast<LRESULT>((message_map_detail::Self<Handler>(t).*Handler)(
                reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l), message - WM_CTLCOLORMSGBOX));
        }};
}

// WM_LBUTTONUP: void Handler(UINT keyFlags, POINT cursor).
template <auto Handler>
constexpr MessageMapEntry OnWmLButtonUp() {
    return message_map_detail::Entry(WM_LBUTTONUP, [](CCmdTarget& t, UINT, WPARAM w, LPARAM l) {
        const POINT cursor{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
        (message_map_detail::Self<Handler>(t).*Handler)(static_cast<UINT>(w), cursor);
        return LRESULT{0};
    });
}

// WM_HELP: bool Handler(HELPINFO*).
template <auto Handler>
constexpr MessageMapEntry OnWmHelpInfo() {
    return message_map_detail::Entry(WM_HELP, [](CCmdTarget& t, UINT, WPARAM, LPARAM l) {
        return static_cast<LRESULT>(
            (message_map_detail::Self<Handler>(t).*Handler)(reinterpret_cast<HELPINFO*>(l))
                ? TRUE
                : FALSE);
    });
}
