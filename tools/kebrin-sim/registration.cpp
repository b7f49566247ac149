#include "tools/kebrin-sim/registration.h"

#include <objbase.h>

#include <string>

namespace {

const wchar_t kDescription[] = L"Kebrin2 Application (kebrin-sim stand-in)";

std::wstring classIdText() {
    wchar_t text[64] = {};
    ::StringFromGUID2(kKebrinClassId, text, 64);
    return text;
}

bool setDefaultValue(HKEY root, const std::wstring& path, const std::wstring& name,
                     const std::wstring& value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const LONG status = ::RegSetValueExW(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(value.c_str()),
                                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool registerIn(HKEY root) {
    const std::wstring classes = L"Software\\Classes\\";
    const std::wstring progIdKey = classes + kKebrinProgId;
    const std::wstring classKey = classes + L"CLSID\\" + classIdText();
    return setDefaultValue(root, progIdKey, L"", kDescription) &&
           setDefaultValue(root, progIdKey + L"\\CLSID", L"", classIdText()) &&
           setDefaultValue(root, classKey, L"", kDescription) &&
           setDefaultValue(root, classKey + L"\\ProgID", L"", kKebrinProgId);
}

void unregisterIn(HKEY root) {
    const std::wstring classes = L"Software\\Classes\\";
    ::RegDeleteTreeW(root, (classes + kKebrinProgId).c_str());
    ::RegDeleteTreeW(root, (classes + L"CLSID\\" + classIdText()).c_str());
}

}  // namespace

bool RegisterKebrinClass() {
    const bool user = registerIn(HKEY_CURRENT_USER);
    const bool machine = registerIn(HKEY_LOCAL_MACHINE);
    return user || machine;
}

void UnregisterKebrinClass() {
    unregisterIn(HKEY_CURRENT_USER);
    unregisterIn(HKEY_LOCAL_MACHINE);
}
