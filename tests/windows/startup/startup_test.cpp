#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/single_instance.h"
#include "app/windows_command_line.h"

namespace {

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
        EXPECT_EQ(CommandLineArguments(c.commandLine), c.arguments) << c.arguments.size();
    }
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
        EXPECT_TRUE(first.acquired());
        EXPECT_FALSE(second.acquired());
        EXPECT_TRUE(otherName.acquired());
    }
    EXPECT_TRUE(InstanceLock(name).acquired()) << "free again once every holder has gone";
}

TEST(InstanceLock, NoWindowToBringToTheFrontGivesUpInTime) {
    const std::string name = uniqueName("window");
    const InstanceLock running(name);  // this process, which has no bridge window
    const InstanceLock second(name);
    const DWORD start = ::GetTickCount();
    EXPECT_FALSE(second.bringRunningBridgeToFront(200));
    EXPECT_LT(::GetTickCount() - start, 5000u) << "bounded, also on a busy machine";
}

}  // namespace
