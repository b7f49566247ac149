// The stand-in's class registration, "Kebrin2.Application" -> its own class id and back, for
// this user only (HKEY_CURRENT_USER\Software\Classes, which Windows shows in HKEY_CLASSES_ROOT
// ahead of the machine-wide classes). The real Kebrin's registration is never harmed: before
// writing, what the two per-user keys held is recorded (under HKCU\Software\kebrin-sim), and
// exactly that is put back afterwards; machine-wide keys are neither written nor deleted.
#pragma once

#include <windows.h>

#include <string>

// {6B1F2C3A-8E4D-4A7B-9C51-2F0E3D7A4B61}
inline constexpr CLSID kKebrinClassId = {
    0x6b1f2c3a, 0x8e4d, 0x4a7b, {0x9c, 0x51, 0x2f, 0x0e, 0x3d, 0x7a, 0x4b, 0x61}};
inline constexpr wchar_t kKebrinProgId[] = L"Kebrin2.Application";

// The class id the ProgID names now (this user's classes first, then the machine's), as text,
// when that is another program's; empty when it names nobody or the stand-in.
std::wstring OtherProgramsClassId();

enum class Keep {
    WhileRunning,     // the running stand-in puts the old keys back when it ends
    UntilUnregister,  // --register: they stay until --unregister
};

// Records the per-user keys (unless a record is kept already) and writes the registration.
bool RegisterKebrinClass(Keep keep);
// Puts back what the record holds and drops it. For Keep::WhileRunning only a record of that
// kind is put back (one left by --register stays). Without a record, a per-user registration
// naming the stand-in's class id is removed.
void RestoreKebrinClass(Keep keep);
