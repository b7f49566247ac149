#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/single_instance.h"
#include "app/windows_command_line.h"
#include "framework/text_conversion.h"

namespace {

constexpr wchar_t kModule[] = L"C:\\Program Files\\Varnock\\Varnock.exe";

struct SplitCase {
    const wchar_t* commandLine;
    std::vector<std::string> arguments;  // UTF-8
};

TEST(CommandLineArguments, SplitByTheWindowsRulesIntoUtf8) {
    const SplitCase cases[] = {
        {L"Varnock.exe", {}},
        {L"\"C:\\Program Files\\Varnock\\Varnock.exe\" --log \"C:\\\x041B\x043E\x0433\x0438 "
         L"Varnock\\v.log\"",
         {"--log", "C:\\\xd0\x9b\xd0\xbe\xd0\xb3\xd0\xb8 Varnock\\v.log"}},
        {L"Varnock.exe --fldigi=http://127.0.0.1:7363/RPC2 /?",
         {"--fldigi=http://127.0.0.1:7363/RPC2", "/?"}},
        {L"Varnock.exe \"a \\\"quoted\\\" name\"", {"a \"quoted\" name"}},
        {L"Varnock.exe C:\\dir\\ x", {"C:\\dir\\", "x"}},
        {L"Varnock.exe \"C:\\dir\\\\\" x", {"C:\\dir\\", "x"}},
        {L"Varnock.exe   --log    \"\"", {"--log", ""}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(CommandLineArguments(c.commandLine, kModule), c.arguments) << c.arguments.size();
    }
}

struct ProgramCase {
    const wchar_t* commandLine;
    const wchar_t* modulePath;
    std::vector<std::string> arguments;
};

TEST(CommandLineArguments, TheProgramsOwnPathIsNoArgument) {
    const wchar_t* tools = L"C:\\Tools\\Varnock.exe";
    const ProgramCase cases[] = {
        // quoted, as Explorer and shortcuts start it
        {L"\"C:\\Program Files\\Varnock\\Varnock.exe\"", kModule, {}},
        {L"\"C:\\Program Files\\Varnock\\Varnock.exe\" --log v.log", kModule, {"--log", "v.log"}},
        // unquoted with spaces, as a hand-made Run key or scheduled task starts it
        {L"C:\\Program Files\\Varnock\\Varnock.exe", kModule, {}},
        {L"C:\\Program Files\\Varnock\\Varnock.exe --fldigi http://127.0.0.1:7363/RPC2",
         kModule,
         {"--fldigi", "http://127.0.0.1:7363/RPC2"}},
        {L"c:\\program files\\varnock\\VARNOCK.EXE\t/?", kModule, {"/?"}},
        {L"C:\\Program Files\\Varnock\\Varnock --log v.log", kModule, {"--log", "v.log"}},
        {L"C:\\Program Files\\Varnock\\Varnock.exe \"C:\\Program Files\\Varnock\\Varnock.exe\"",
         kModule,
         {"C:\\Program Files\\Varnock\\Varnock.exe"}},
        // relative names, found in the current folder or on the PATH
        {L"Varnock --log v.log", kModule, {"--log", "v.log"}},
        {L"Varnock\\Varnock.exe /?", kModule, {"/?"}},
        // a path without spaces that does not name the module (a short 8.3 name): first word
        {L"C:\\PROGRA~1\\Varnock\\Varnock.exe --log v.log", kModule, {"--log", "v.log"}},
        // an argument that spells a path is still an argument
        {L"C:\\Tools\\Varnock.exe C:\\Program Files\\Varnock\\Varnock.exe",
         tools,
         {"C:\\Program", "Files\\Varnock\\Varnock.exe"}},
        {L"C:\\Tools\\Varnock.exe Varnock.exe", tools, {"Varnock.exe"}},
        // the nearest start that names the module, as Windows tries the shorter one first
        {L"C:\\a b\\Varnock.exe b\\Varnock.exe", L"C:\\a b\\Varnock.exe", {"b\\Varnock.exe"}},
        {L"", kModule, {}},
    };
    for (const ProgramCase& c : cases) {
        EXPECT_EQ(CommandLineArguments(c.commandLine, c.modulePath), c.arguments)
            << ToUtf8(c.commandLine);
    }
}

TEST(CommandLineArguments, ModulePathIsThisProgram) {
    const std::wstring path = ModulePath();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), L".exe");
    EXPECT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

std::string uniqueName(const char* what) {
    return std::string("Varnock-test-") + what + "-" + std::to_string(::GetCurrentProcessId());
}

TEST(InstanceLock, OneHolderPerNameUntilItLetsGo) {
    const std::string name = uniqueName("lock");
    {
        const InstanceLock first(name);
        const InstanceLock second(name);
        const InstanceLock otherName(uniqueName("other"));
        EXPECT_TRUE(first.Acquired());
        EXPECT_FALSE(second.Acquired());
        EXPECT_TRUE(otherName.Acquired());
    }
    EXPECT_TRUE(InstanceLock(name).Acquired()) << "free again once every holder has gone";
}

TEST(InstanceLock, NoWindowToBringToTheFrontGivesUpInTime) {
    const std::string name = uniqueName("window");
    const InstanceLock running(name);  // this process, which has no bridge window
    const InstanceLock second(name);
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(second.BringRunningBridgeToFront(200));
    EXPECT_LT(::GetTickCount() - start, 5000u) << "bounded, also on a busy machine";
}

}  // namespace
