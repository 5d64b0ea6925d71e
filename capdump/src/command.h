// command.h - capdump's work from parsed options to exit status, on the process's standard
// input, output and error.
#ifndef CAPDUMP_SRC_COMMAND_H
#define CAPDUMP_SRC_COMMAND_H

#include <string_view>

#include "options.h"

namespace capdump {

// Exit statuses.
enum Status {
  kDone = 0,         // the whole input was processed
  kUnusable = 1,     // bad usage, an input that cannot be opened or is a directory, no memory
  kFailedMidway = 2  // a read failed part-way, or standard output could not be written
};

// Lists or summarises the input options name, as they ask. Returns the exit status, with a
// message on standard error for every status but kDone.
int run_dump(const Options &options);

// Prints text on standard output, as --help and --version do. Returns the exit status.
int print_text(std::string_view text);

}  // namespace capdump

#endif  // CAPDUMP_SRC_COMMAND_H
