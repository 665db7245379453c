// meshcraft-cli: the library's formats from the command line.
#include <cstdio>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "CliServices.h"
#include "Commands.h"
#include "terminal/Terminal.h"

using namespace mc::cli;

namespace {

void PrintHelp(const std::vector<TCommand>& commands, const std::string& group = {})
{
    std::printf("Usage: meshcraft-cli GROUP COMMAND [ARGS]\n\nCommands:\n");
    for (const TCommand& c : commands) {
        if (!group.empty() && group != c.Group) continue;
        std::printf("  %s%s%s %s\n      %s\n", c.Group, *c.Name ? " " : "", c.Name, c.Usage, c.Summary);
    }
    std::printf(
        "\nEvery command takes --quiet (-q): no warnings and no progress on standard error.\n"
        "\nExit status: 0 on success, 1 when a file is refused (the reason on stderr), 2 on bad usage.\n");
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<TCommand> commands = AllCommands();
    mc::platform::UseBinaryStandardStreams();
    std::vector<std::string> args;
    // --quiet (anywhere) keeps warnings and progress off standard error.
    bool quiet = false;
    for (std::string& a : mc::platform::CommandLineArguments(argc, argv)) {
        if (a == "--quiet" || a == "-q")
            quiet = true;
        else
            args.push_back(std::move(a));
    }
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintHelp(commands);
        return args.empty() ? ExitUsage : ExitOk;
    }
    const std::string group = args[0];
    bool groupKnown = false;
    for (const TCommand& c : commands) groupKnown |= group == c.Group;
    if (!groupKnown) {
        std::fprintf(stderr, "meshcraft-cli: unknown command group \"%s\" (see --help)\n", group.c_str());
        return ExitUsage;
    }
    // A group may have a default command (an empty name) that takes its arguments right after the group.
    const TCommand* groupDefault = nullptr;
    for (const TCommand& c : commands)
        if (group == c.Group && !*c.Name) groupDefault = &c;
    if (args.size() < 2 || args[1] == "--help" || args[1] == "-h") {
        PrintHelp(commands, group);
        return args.size() < 2 ? ExitUsage : ExitOk;
    }
    const TCommand* command = groupDefault;
    for (const TCommand& c : commands)
        if (group == c.Group && *c.Name && args[1] == c.Name) command = &c;
    if (command) {
        const TCommand& c = *command;
        const std::string title = *c.Name ? std::string(c.Group) + " " + c.Name : std::string(c.Group);
        const std::vector<std::string> rest(args.begin() + (*c.Name ? 2 : 1), args.end());
        for (const std::string& a : rest)
            if (a == "--help" || a == "-h") {
                std::printf("Usage: meshcraft-cli %s %s\n  %s\n", title.c_str(), c.Usage, c.Summary);
                return ExitOk;
            }
        TCliServices services;
        services.SetQuiet(quiet);
        try {
            const int status = c.Run(ParseArgs(rest, c.Spec));
            // Output that could not be written (a full disk, a closed pipe)
            // is a failure, not a result.
            if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
                std::fprintf(stderr, "Cannot write to standard output\n");
                return ExitRefused;
            }
            return status;
        } catch (const EUsage& e) {
            std::fprintf(stderr, "meshcraft-cli %s: %s\nUsage: meshcraft-cli %s %s\n", title.c_str(), e.what(),
                         title.c_str(), c.Usage);
            return ExitUsage;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "meshcraft-cli: %s\n", e.what());
            return ExitRefused;
        }
    }
    std::fprintf(stderr, "meshcraft-cli: unknown command \"%s %s\" (see --help)\n", group.c_str(), args[1].c_str());
    return ExitUsage;
}
