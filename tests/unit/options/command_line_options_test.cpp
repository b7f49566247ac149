#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/options/command_line_options.h"

namespace bridgeoptions {
namespace {

using ::testing::HasSubstr;

struct RunCase {
    std::vector<std::string> arguments;
    std::string endpoint;
    std::string logFile;
};

TEST(CommandLine, AcceptedArgumentsGiveTheOptions) {
    const std::string defaultUrl = pollcycle::kFldigiEndpoint;
    const RunCase cases[] = {
        {{}, defaultUrl, ""},
        {{"--fldigi", "http://127.0.0.1:7363/RPC2"}, "http://127.0.0.1:7363/RPC2", ""},
        {{"--fldigi=HTTPS://shack.example:443/RPC2"}, "HTTPS://shack.example:443/RPC2", ""},
        {{"--log", "C:\\Логи Varnock\\bridge.log"}, defaultUrl, "C:\\Логи Varnock\\bridge.log"},
        {{"--LOG=a b.txt", "--Fldigi", "http://h"}, "http://h", "a b.txt"},
        {{"--log", "-x.log"}, defaultUrl, "-x.log"},
    };
    for (const RunCase& c : cases) {
        const ParsedCommandLine parsed = parseCommandLine(c.arguments);
        EXPECT_EQ(parsed.outcome, CommandLineOutcome::Run) << parsed.problem;
        EXPECT_EQ(parsed.options.fldigiEndpoint, c.endpoint);
        EXPECT_EQ(parsed.options.logFile, c.logFile);
    }
}

TEST(CommandLine, HelpInAnySpelling) {
    const std::vector<std::string> cases[] = {
        {"--help"}, {"/?"}, {"-?"}, {"-h"}, {"--log", "x.log", "/?"}, {"--HELP", "--bogus"},
    };
    for (const auto& arguments : cases) {
        EXPECT_EQ(parseCommandLine(arguments).outcome, CommandLineOutcome::Help);
    }
}

struct ErrorCase {
    std::vector<std::string> arguments;
    std::string problem;
};

TEST(CommandLine, EveryMistakeIsNamed) {
    const ErrorCase cases[] = {
        {{"--bogus"}, "Unknown option: --bogus"},
        {{"C:\\varnock.log"}, "Unknown option: C:\\varnock.log"},
        {{"--log"}, "The option --log needs a value: --log FILE"},
        {{"--log="}, "The option --log needs a value: --log FILE"},
        {{"--log", "--fldigi", "http://h/"}, "The option --log needs a value"},
        {{"--fldigi"}, "The option --fldigi needs a value: --fldigi URL"},
        {{"--log", "a", "--log", "b"}, "The option --log is given twice."},
        {{"--fldigi", "ftp://x"}, "--fldigi ftp://x: The URI must begin with \"https://\" or"},
        {{"--fldigi", "http://h:99999/RPC2"}, "number from 1 to 65535"},
        {{"--fldigi", "http://"}, "The URL names no host."},
    };
    for (const ErrorCase& c : cases) {
        const ParsedCommandLine parsed = parseCommandLine(c.arguments);
        EXPECT_EQ(parsed.outcome, CommandLineOutcome::Error) << c.problem;
        EXPECT_THAT(parsed.problem, HasSubstr(c.problem));
    }
}

TEST(CommandLine, EndpointsTheClientCanUse) {
    const std::pair<const char*, const char*> cases[] = {
        {"http://127.0.0.1:7362/RPC2", ""},
        {"Http://localhost", ""},
        {"https://h:1", ""},
        {"http://h:65535/", ""},
        {"ftp://x", "The URI must begin with \"https://\" or \"http://\"."},
        {"127.0.0.1:7362", "The URI must begin with \"https://\" or \"http://\"."},
        {"http://:7362/RPC2", "The URL names no host."},
        {"http:///RPC2", "The URL names no host."},
        {"http://h:0/", "The port of the URL must be a number from 1 to 65535."},
        {"http://h:/RPC2", "The port of the URL must be a number from 1 to 65535."},
        {"http://h:73a2/RPC2", "The port of the URL must be a number from 1 to 65535."},
        {"http://h:0000007362/", "The port of the URL must be a number from 1 to 65535."},
        {"http://h /RPC2",
         "The URL may hold only ASCII letters, digits and signs, without spaces."},
        {"http://hö/", "The URL may hold only ASCII letters, digits and signs, without spaces."},
    };
    for (const auto& [url, problem] : cases) {
        EXPECT_EQ(endpointProblem(url), problem) << url;
    }
}

TEST(CommandLine, OneInstancePerSessionWhateverTheEndpoint) {
    EXPECT_EQ(std::string(kInstanceName).find('\\'), std::string::npos);
    EXPECT_THAT(usageText(), HasSubstr("One Varnock runs in a Windows session, whatever its"));
    EXPECT_THAT(usageText(), HasSubstr("--fldigi URL"));
    EXPECT_THAT(usageText(), HasSubstr("--log FILE"));
}

}  // namespace
}  // namespace bridgeoptions
