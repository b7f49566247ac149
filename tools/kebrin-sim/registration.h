// The class registration of "Kebrin2.Application": ProgID -> CLSID and back, in the per-user
// and the machine-wide classes (Wine's HKEY_CLASSES_ROOT shows only the machine-wide ones;
// Windows may refuse those without administrator rights, which is fine there).
#pragma once

#include <windows.h>

// {6B1F2C3A-8E4D-4A7B-9C51-2F0E3D7A4B61}
inline constexpr CLSID kKebrinClassId = {
    0x6b1f2c3a, 0x8e4d, 0x4a7b, {0x9c, 0x51, 0x2f, 0x0e, 0x3d, 0x7a, 0x4b, 0x61}};
inline constexpr wchar_t kKebrinProgId[] = L"Kebrin2.Application";

// True when at least one hive took the registration.
bool RegisterKebrinClass();
void UnregisterKebrinClass();
