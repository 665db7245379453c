#include "CliArgs.h"

namespace mc::cli {

TArgs ParseArgs(const std::vector<std::string>& argv, const TArgSpec& spec)
{
    TArgs args;
    bool optionsEnded = false;
    for (size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            std::string name = a, value;
            const size_t eq = a.find('=');
            const bool inlineValue = eq != std::string::npos;
            if (inlineValue) {
                name = a.substr(0, eq);
                value = a.substr(eq + 1);
            }
            if (spec.Flags.count(name) && !inlineValue) {
                args.Flags.insert(name);
            } else if (spec.ValueOptions.count(name)) {
                if (!inlineValue) {
                    if (i + 1 >= argv.size()) throw EUsage("option " + name + " needs a value");
                    value = argv[++i];
                }
                args.Options[name] = value;
                args.OptionLists[name].push_back(value);
            } else {
                throw EUsage("unknown option " + a);
            }
        } else {
            args.Positional.push_back(a);
        }
    }
    if (args.Positional.size() < spec.MinPositional) throw EUsage("missing arguments");
    if (args.Positional.size() > spec.MaxPositional) throw EUsage("too many arguments");
    return args;
}

}  // namespace mc::cli
