#include "Arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ArgumentsCase {
    const char* name;
    std::vector<std::string> args;
    CliAction action;
    std::string drive;
    std::string error; // empty when the arguments are usable
    friend void PrintTo(const ArgumentsCase& c, std::ostream* os) { *os << c.name; }
};

class ParseArguments : public testing::TestWithParam<ArgumentsCase> {};

TEST_P(ParseArguments, GivesTheActionOrOneErrorLine) {
    const ArgumentsCase& expected = GetParam();
    const CliArguments parsed = parseArguments(expected.args);
    EXPECT_EQ(parsed.error, expected.error);
    if (expected.error.empty()) {
        EXPECT_EQ(parsed.action, expected.action);
        EXPECT_EQ(parsed.drive, expected.drive);
    } else {
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseArguments,
    testing::Values(
        ArgumentsCase{"Letter", {"E"}, CliAction::Test, "E", ""},
        ArgumentsCase{"LowerCaseLetter", {"e"}, CliAction::Test, "e", ""},
        ArgumentsCase{"LetterAndColon", {"E:"}, CliAction::Test, "E:", ""},
        ArgumentsCase{"MountPath", {"/mnt/x"}, CliAction::Test, "/mnt/x", ""},
        ArgumentsCase{"List", {"--list"}, CliAction::List, "", ""},
        ArgumentsCase{"Help", {"--help"}, CliAction::Help, "", ""},
        ArgumentsCase{"ShortHelp", {"-h"}, CliAction::Help, "", ""},
        ArgumentsCase{"Version", {"--version"}, CliAction::Version, "", ""},
        ArgumentsCase{"SameOptionTwice", {"--list", "--list"}, CliAction::List, "", ""},
        ArgumentsCase{"PathStartingWithADashAfterTheEndOfOptions",
                      {"--", "-odd"},
                      CliAction::Test,
                      "-odd",
                      ""},
        ArgumentsCase{
            "UnknownOption", {"--bogus"}, CliAction::Test, "", "unknown option '--bogus'"},
        ArgumentsCase{
            "UnknownOptionAfterADrive", {"E:", "-x"}, CliAction::Test, "", "unknown option '-x'"},
        ArgumentsCase{"NoArguments", {}, CliAction::Test, "", "no drive given"},
        ArgumentsCase{"OnlyTheEndOfOptions", {"--"}, CliAction::Test, "", "no drive given"},
        ArgumentsCase{"EmptyDrive", {""}, CliAction::Test, "", "empty drive name"},
        ArgumentsCase{"TwoDrives",
                      {"E:", "F:"},
                      CliAction::Test,
                      "",
                      "one drive at a time: both 'E:' and 'F:' were given"},
        ArgumentsCase{"ListAndADrive",
                      {"--list", "E:"},
                      CliAction::Test,
                      "",
                      "'--list' and 'E:' cannot be given together"},
        ArgumentsCase{"TwoActions",
                      {"--version", "--help"},
                      CliAction::Test,
                      "",
                      "'--version' and '--help' cannot be given together"}),
    [](const testing::TestParamInfo<ArgumentsCase>& param) { return param.param.name; });

} // namespace
