// Arguments of one subcommand: positionals, flags and options with a value.
#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace mc::cli {

// Bad usage: the message is printed with the command's usage, exit status 2.
class EUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TArgSpec {
    std::set<std::string> Flags;         // "--json"
    std::set<std::string> ValueOptions;  // "--to" (takes the next argument)
    size_t MinPositional = 0;
    size_t MaxPositional = 0;
};

struct TArgs {
    std::vector<std::string> Positional;
    std::set<std::string> Flags;
    std::map<std::string, std::string> Options;
    // Every value of each option, in command-line order (for options that
    // may be given more than once, such as -I).
    std::map<std::string, std::vector<std::string>> OptionLists;

    bool Has(const std::string& flag) const { return Flags.count(flag) != 0; }
    std::string Option(const std::string& name, const std::string& fallback = {}) const
    {
        auto it = Options.find(name);
        return it == Options.end() ? fallback : it->second;
    }
};

// Raises EUsage on unknown options, missing values or a wrong count of
// positionals. "--" ends the options.
TArgs ParseArgs(const std::vector<std::string>& argv, const TArgSpec& spec);

}  // namespace mc::cli
