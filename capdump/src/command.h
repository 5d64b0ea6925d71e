// command.h - capdump's work from parsed options to exit status, on the process's standard
// input, output and error.
#ifndef CAPDUMP_SRC_COMMAND_H
#define CAPDUMP_SRC_COMMAND_H

#include "capdump/src/options.h"

namespace capdump {

// Lists or summarises the input options name, as they ask. Returns the exit status
// (cli::ExitStatus): kDone once the whole input is processed, kFailed with a message on standard
// error when the input cannot be opened or read or standard output cannot be written.
int run_dump(const Options &options);

}  // namespace capdump

#endif  // CAPDUMP_SRC_COMMAND_H
