// The subcommands of meshcraft-cli.
#pragma once

#include <string>
#include <vector>

#include "CliArgs.h"

namespace mc::cli {

enum TExitCode : int { ExitOk = 0, ExitRefused = 1, ExitUsage = 2 };

struct TCommand {
    const char* Group;    // "p3d"
    const char* Name;     // "info"
    const char* Usage;    // "FILE [--json]"
    const char* Summary;  // one line for --help
    TArgSpec Spec;
    int (*Run)(const TArgs& args);
};

// Every registered command, in group order, each group in its own order.
const std::vector<TCommand>& AllCommands();

// A file of commands registers them with a static object of this type:
//   static const TCommandRegistrar registrar(MyCommands);
struct TCommandRegistrar {
    explicit TCommandRegistrar(std::vector<TCommand> (*commands)());
};

}  // namespace mc::cli
