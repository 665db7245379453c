#include "Commands.h"

#include <algorithm>
#include <cstring>

namespace mc::cli {

namespace {

std::vector<TCommand>& Registry()
{
    static std::vector<TCommand> commands;
    return commands;
}

}  // namespace

TCommandRegistrar::TCommandRegistrar(std::vector<TCommand> (*commands)())
{
    auto& all = Registry();
    for (TCommand& c : commands()) all.push_back(std::move(c));
    std::stable_sort(all.begin(), all.end(),
                     [](const TCommand& a, const TCommand& b) { return std::strcmp(a.Group, b.Group) < 0; });
}

const std::vector<TCommand>& AllCommands() { return Registry(); }

}  // namespace mc::cli
