// The boundary between the system's window callbacks and our handlers. An exception that
// escapes a handler stops there: the user sees it in an error box, the message gets the
// result 0, and the message loop carries on. Nothing is retried or re-armed.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

// The text the error box shows for an exception that escaped the handling of `message`.
std::wstring EscapedExceptionText(const std::exception_ptr& error, UINT message);

// The error box: `text`, the program's name as its caption, OK only, owned by the window's
// top-level window; returns once it is closed. Never throws.
void ShowErrorBox(HWND window, const std::wstring& text) noexcept;

// Shows the error box for the exception being handled, owned by the window's top-level
// window. Call it from a catch block. Never throws.
void ReportEscapedException(HWND window, UINT message) noexcept;

// Runs `handler` and returns its result; an escaping exception is reported and gives `onError`.
template <class Handler, class Result>
Result CallAtBoundary(HWND window, UINT message, Result onError, Handler&& handler) noexcept {
    try {
        return handler();
    } catch (...) {
        ReportEscapedException(window, message);
        return onError;
    }
}
