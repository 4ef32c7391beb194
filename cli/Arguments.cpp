#include "Arguments.h"

#include <optional>

namespace {

std::optional<CliAction> optionAction(const std::string& arg) {
    if (arg == "--list") {
        return CliAction::List;
    }
    if (arg == "--help" || arg == "-h") {
        return CliAction::Help;
    }
    if (arg == "--version") {
        return CliAction::Version;
    }
    return std::nullopt;
}

CliArguments failure(std::string error) {
    CliArguments result;
    result.error = std::move(error);
    return result;
}

} // namespace

CliArguments parseArguments(const std::vector<std::string>& args) {
    std::vector<std::string> given; // each action as the user wrote it, for the error text
    std::optional<CliAction> action;
    std::string drive;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<CliAction> next;
        if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            next = optionAction(arg);
            if (!next) {
                return failure("unknown option '" + arg + "'");
            }
        } else {
            if (arg.empty()) {
                return failure("empty drive name");
            }
            next = CliAction::Test;
            drive = arg;
        }
        if (action && *action == CliAction::Test && *next == CliAction::Test) {
            return failure("one drive at a time: both '" + given.front() + "' and '" + arg +
                           "' were given");
        }
        if (action && *action != *next) {
            return failure("'" + given.front() + "' and '" + arg + "' cannot be given together");
        }
        action = next;
        given.push_back(arg);
    }
    if (!action) {
        return failure("no drive given");
    }
    CliArguments result;
    result.action = *action;
    result.drive = drive;
    return result;
}
