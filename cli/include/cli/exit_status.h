// The exit statuses of the programs built on this kit, and what --help says of each.
#ifndef CLI_EXIT_STATUS_H
#define CLI_EXIT_STATUS_H

#include <string_view>

namespace cli {

enum ExitStatus : int {
  kDone = 0,      // the work is done
  kFailed = 1,    // input or output cannot be opened, read or written
  kBadUsage = 2,  // the command line is wrong
};

struct ExitStatusMeaning {
  ExitStatus status;
  std::string_view meaning;  // as --help words it
};

// Every status, in ascending order.
inline constexpr ExitStatusMeaning kExitStatuses[] = {
    {kDone, "done"},
    {kFailed, "input or output cannot be opened, read or written"},
    {kBadUsage, "bad usage"},
};

}  // namespace cli

#endif  // CLI_EXIT_STATUS_H
