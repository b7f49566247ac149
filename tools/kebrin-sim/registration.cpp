#include "tools/kebrin-sim/registration.h"

#include <objbase.h>

#include "base/unique_handle.h"

namespace {

const wchar_t kDescription[] = L"Kebrin2 Application (kebrin-sim stand-in)";
const wchar_t kRecordPath[] = L"Software\\kebrin-sim\\Saved registration";
const wchar_t kRecordParent[] = L"Software\\kebrin-sim";
const wchar_t kKeepValue[] = L"Kept until --unregister";

struct RegKeyTraits : NullWhenEmpty<HKEY> {
    static void close(HKEY key) noexcept { ::RegCloseKey(key); }
};

// An open registry key, closed when it goes.
class RegKey : public UniqueHandle<RegKeyTraits> {
  public:
    bool Open(HKEY root, const std::wstring& path, REGSAM access) {
        return ::RegOpenKeyExW(root, path.c_str(), 0, access, put()) == ERROR_SUCCESS;
    }
    bool Create(HKEY root, const std::wstring& path) {
        return ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, put(),
                                 nullptr) == ERROR_SUCCESS;
    }
};

std::wstring classIdText() {
    wchar_t text[64] = {};
    ::StringFromGUID2(kKebrinClassId, text, 64);
    return text;
}

// The two per-user keys, each with the name of its copy in the record.
struct ClassKey {
    std::wstring path;
    const wchar_t* recordName;
};

ClassKey progIdKey() {
    return {std::wstring(L"Software\\Classes\\") + kKebrinProgId, L"ProgID"};
}
ClassKey classKey() {
    return {L"Software\\Classes\\CLSID\\" + classIdText(), L"CLSID"};
}

bool keyExists(HKEY root, const std::wstring& path) {
    RegKey key;
    return key.Open(root, path, KEY_READ);
}

std::wstring defaultValue(HKEY root, const std::wstring& path) {
    wchar_t text[128] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    if (::RegGetValueW(root, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return L"";
    }
    return text;
}

bool setDefaultValue(HKEY root, const std::wstring& path, const std::wstring& value) {
    RegKey key;
    return key.Create(root, path) &&
           ::RegSetValueExW(
               key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

// Copies the key at `path` (values and subkeys) into the record, when there is one.
bool recordKey(const ClassKey& key, HKEY record) {
    RegKey source;
    if (!source.Open(HKEY_CURRENT_USER, key.path, KEY_READ)) {
        return true;  // nothing there: nothing to put back but the absence
    }
    RegKey copy;
    return copy.Create(record, key.recordName) &&
           ::RegCopyTreeW(source.get(), nullptr, copy.get()) == ERROR_SUCCESS;
}

// Makes the key at `path` what the record holds: its copy, or no key at all.
void putBack(const ClassKey& key, HKEY record) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.path.c_str());
    RegKey copy;
    if (!copy.Open(record, key.recordName, KEY_READ)) {
        return;
    }
    RegKey target;
    if (target.Create(HKEY_CURRENT_USER, key.path)) {
        ::RegCopyTreeW(copy.get(), nullptr, target.get());
    }
}

void dropRecord() {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kRecordPath);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, kRecordParent);  // only when nothing else is in it
}

bool recordKeptUntilUnregister(HKEY record) {
    DWORD keep = 0;
    DWORD size = sizeof keep;
    return ::RegGetValueW(record, nullptr, kKeepValue, RRF_RT_REG_DWORD, nullptr, &keep, &size) ==
               ERROR_SUCCESS &&
           keep != 0;
}

// The per-user ProgID names the stand-in: the keys are still as the stand-in wrote them, and a
// record kept beside them still tells what they held before.
bool userKeysNameStandIn() {
    return _wcsicmp(defaultValue(HKEY_CURRENT_USER, progIdKey().path + L"\\CLSID").c_str(),
                    classIdText().c_str()) == 0;
}

}  // namespace

std::wstring OtherProgramsClassId() {
    const std::wstring path = std::wstring(kKebrinProgId) + L"\\CLSID";
    std::wstring named = defaultValue(HKEY_CURRENT_USER, L"Software\\Classes\\" + path);
    if (named.empty()) {
        named = defaultValue(HKEY_CLASSES_ROOT, path);
    }
    return _wcsicmp(named.c_str(), classIdText().c_str()) == 0 ? L"" : named;
}

bool RegisterKebrinClass(Keep keep) {
    if (!userKeysNameStandIn()) {
        dropRecord();  // left by a stand-in that was stopped, and the keys changed since
    }
    if (!keyExists(HKEY_CURRENT_USER, kRecordPath)) {
        RegKey record;
        if (!record.Create(HKEY_CURRENT_USER, kRecordPath) ||
            !recordKey(progIdKey(), record.get()) || !recordKey(classKey(), record.get())) {
            dropRecord();
            return false;  // nothing written that could not be put back
        }
    }
    RegKey record;
    if (keep == Keep::UntilUnregister &&
        record.Open(HKEY_CURRENT_USER, kRecordPath, KEY_SET_VALUE)) {
        const DWORD yes = 1;
        ::RegSetValueExW(record.get(), kKeepValue, 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&yes), sizeof yes);
    }
    const std::wstring progId = progIdKey().path;
    const std::wstring classPath = classKey().path;
    if (setDefaultValue(HKEY_CURRENT_USER, progId, kDescription) &&
        setDefaultValue(HKEY_CURRENT_USER, progId + L"\\CLSID", classIdText()) &&
        setDefaultValue(HKEY_CURRENT_USER, classPath, kDescription) &&
        setDefaultValue(HKEY_CURRENT_USER, classPath + L"\\ProgID", kKebrinProgId)) {
        return true;
    }
    RegKey written;  // half written: what was there goes back at once
    if (written.Open(HKEY_CURRENT_USER, kRecordPath, KEY_READ)) {
        putBack(progIdKey(), written.get());
        putBack(classKey(), written.get());
    }
    dropRecord();
    return false;
}

void RestoreKebrinClass(Keep keep) {
    if (!userKeysNameStandIn()) {
        dropRecord();  // another program has registered since: its keys stay
        return;
    }
    RegKey record;
    if (!record.Open(HKEY_CURRENT_USER, kRecordPath, KEY_READ)) {
        if (keep == Keep::UntilUnregister) {
            ::RegDeleteTreeW(HKEY_CURRENT_USER, progIdKey().path.c_str());
            ::RegDeleteTreeW(HKEY_CURRENT_USER, classKey().path.c_str());
        }
        return;
    }
    if (keep == Keep::WhileRunning && recordKeptUntilUnregister(record.get())) {
        return;
    }
    putBack(progIdKey(), record.get());
    putBack(classKey(), record.get());
    dropRecord();
}
