// The subcommands of the `ppd` archive tool. Each takes the arguments after
// its name and returns the process exit code.
#pragma once

#include <string>
#include <vector>

namespace ppd_tool {

using Args = std::vector<std::string>;

int packCommand(const Args& args);
int listCommand(const Args& args);
int catCommand(const Args& args);
int extractCommand(const Args& args);

// Prints "ppd: <message>" on stderr and returns 1.
int fail(const std::string& message);

}  // namespace ppd_tool
