#include "framework/wnd.h"

#include "framework/handler_boundary.h"

#include <utility>

namespace {

// Window properties that tie a subclassed window to its object and to the procedure it had.
constexpr wchar_t kObjectProperty[] = L"Varnock.CWnd";
constexpr wchar_t kSuperProcProperty[] = L"Varnock.SuperProc";

WNDPROC superProcOf(HWND window) {
    return reinterpret_cast<WNDPROC>(::GetPropW(window, kSuperProcProperty));
}

}  // namespace

const CRuntimeClass CWnd::classCWnd{"CWnd", &CCmdTarget::classCCmdTarget};

const MessageMap* CWnd::GetThisMessageMap() {
    static const MessageMap map{&CCmdTarget::GetThisMessageMap, nullptr, nullptr};
    return &map;
}

CWnd::~CWnd() {
    if (m_superProc != nullptr) {
        UnsubclassWindow();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
    return window == nullptr ? nullptr : static_cast<CWnd*>(::GetPropW(window, kObjectProperty));
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (parent == nullptr || parent->m_hWnd == nullptr) {
        return false;
    }
    HWND control = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return control != nullptr && SubclassWindow(control);
}

bool CWnd::SubclassWindow(HWND window) {
    if (m_hWnd != nullptr || window == nullptr || FromHandlePermanent(window) != nullptr) {
        return false;
    }
    m_hWnd = window;
    if (!::SetPropW(window, kObjectProperty, this)) {
        m_hWnd = nullptr;
        return false;
    }
    PreSubclassWindow();
    m_superProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWindowProc)));
    ::SetPropW(window, kSuperProcProperty, reinterpret_cast<HANDLE>(m_superProc));
    return true;
}

HWND CWnd::UnsubclassWindow() {
    HWND window = std::exchange(m_hWnd, nullptr);
    if (window == nullptr || m_superProc == nullptr) {
        return window;
    }
    if (::IsWindow(window)) {
        // Put the old procedure back unless somebody subclassed the window after us; then our
        // procedure stays in their chain and forwards through the property below.
        if (::GetWindowLongPtrW(window, GWLP_WNDPROC) ==
            reinterpret_cast<LONG_PTR>(&CWnd::StaticWindowProc)) {
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
            ::RemovePropW(window, kSuperProcProperty);
        }
        ::RemovePropW(window, kObjectProperty);
    }
    m_superProc = nullptr;
    m_borrowedChildren.clear();
    return window;
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* self = FromHandlePermanent(window);
    if (self == nullptr) {
        WNDPROC super = superProcOf(window);
        return super != nullptr ? ::CallWindowProcW(super, window, message, wParam, lParam)
                                : ::DefWindowProcW(window, message, wParam, lParam);
    }
    const LRESULT result = CallAtBoundary(window, message, LRESULT{0},
                                          [&] { return self->Dispatch(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        self->UnsubclassWindow();
    }
    return result;
}

LRESULT CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    // Handlers may send messages to their own window: keep the outer message for Default().
    struct Restore {
        CWnd& wnd;
        Message saved;
        bool inMessage;
        ~Restore() {
            wnd.m_current = saved;
            wnd.m_inMessage = inMessage;
        }
    } restore{*this, m_current, m_inMessage};
    m_current = Message{message, wParam, lParam};
    m_inMessage = true;
    return WindowProc(message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const MessageMapEntry* entry = GetMessageMap()->Find(message, wParam)) {
        return entry->invoke(*this, message, wParam, lParam);
    }
    if (message == WM_COMMAND && m_commandRoute != nullptr &&
        m_commandRoute->OnCmdMsg(LOWORD(wParam), HIWORD(wParam))) {
        return 0;
    }
    if (message == WM_DRAWITEM) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item != nullptr && item->CtlType != ODT_MENU) {
            LRESULT result = TRUE;
            CWnd* child = FromHandlePermanent(item->hwndItem);
            if (child != nullptr && child != this &&
                child->OnChildNotify(message, wParam, lParam, &result)) {
                return result;
            }
        }
    }
    return Default();
}

LRESULT CWnd::Default() {
    if (!m_inMessage || m_hWnd == nullptr) {
        return 0;
    }
    const Message& m = m_current;
    if (m_superProc != nullptr) {
        return ::CallWindowProcW(m_superProc, m_hWnd, m.message, m.wParam, m.lParam);
    }
    return ::DefWindowProcW(m_hWnd, m.message, m.wParam, m.lParam);
}

bool CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return false;
}

CWnd* CWnd::GetDlgItem(int id) {
    HWND control = ::GetDlgItem(m_hWnd, id);
    if (control == nullptr) {
        return nullptr;
    }
    if (CWnd* permanent = FromHandlePermanent(control)) {
        return permanent;
    }
    std::unique_ptr<CWnd>& borrowed = m_borrowedChildren[control];
    if (!borrowed) {
        borrowed = std::make_unique<CWnd>();
        borrowed->m_hWnd = control;
    }
    return borrowed.get();
}

std::wstring CWnd::GetWindowText() const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

bool CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags) {
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) {
        return false;
    }
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (flags != 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    }
    return true;
}

RECT CWnd::GetClientRect() const {
    RECT rect{};
    ::GetClientRect(m_hWnd, &rect);
    return rect;
}
