#include "command_line_rules.h"

#include <algorithm>
#include <regex>

namespace zelmak::cli {

void refuseFlagValues(const std::vector<std::string>& args,
                      std::initializer_list<const char*> flags) {
    for (const std::string& arg : args) {
        if (arg == "--")
            return;
        for (const std::string flag : flags)
            if (arg.size() > flag.size() && arg.compare(0, flag.size(), flag) == 0 &&
                arg[flag.size()] == '=')
                throw UsageError{flag + " takes no value, not \"" +
                                 shown(arg.substr(flag.size() + 1)) + "\""};
    }
}

void refuseLeftOvers(const std::vector<std::string>& args, const std::vector<std::string>& rest,
                     const std::string& unknown) {
    const auto optionsEnd = std::find(args.begin(), args.end(), "--");
    for (const std::string& arg : rest) {
        if (arg == "--")
            continue;
        const bool option = arg.size() > 1 && arg[0] == '-' &&
                            std::find(args.begin(), optionsEnd, arg) != optionsEnd;
        if (option)
            throw UsageError{unknown + " " + shown(arg.substr(0, arg.find('=')))};
        throw UsageError{"only one INPUT may be given, not also \"" + shown(arg) + "\""};
    }
}

bool parseArguments(CLI::App& app, const std::vector<std::string>& args) {
    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        return true;
    } catch (const CLI::ParseError& e) {
        // CLI11 says "--key: 1 required FILE missing" for an option without its value.
        static const std::regex missing("(--[a-z-]+): 1 required ([A-Z-]+) missing");
        std::smatch m;
        const std::string what = e.what();
        if (std::regex_match(what, m, missing))
            throw UsageError{m[1].str() + " needs a value (" + m[2].str() + ")"};
        throw UsageError{shown(what)};
    }
    return false;
}

} // namespace zelmak::cli
