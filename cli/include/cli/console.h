// What the programs of this kit print outside their work: help, version, usage errors and write
// errors, each with the exit status it ends with.
#ifndef CLI_CONSOLE_H
#define CLI_CONSOLE_H

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "cli/command_line.h"
#include "cli/help_text.h"

namespace cli {

// Flushes stream and closes it unless it is standard output. Returns 0 when everything written
// to it reached its file, otherwise the errno value of the first failure (EIO when none was set).
int finish_stream(std::FILE *stream);

// Prints "PROGRAM: cannot write NAME: REASON" (REASON: what error, an errno value, means) on
// standard error. Returns kFailed.
int report_write_error(std::string_view program, std::string_view name, int error);

// Prints "PROGRAM: MESSAGE" and a pointer to --help on standard error. Returns kBadUsage.
int report_usage_error(std::string_view program, std::string_view message);

// Prints "usage: NAME USAGE" on standard error: the whole answer to a wrong command line of a
// program that takes one operand and no options. Returns kFailed.
int report_usage(std::string_view name, std::string_view usage);

// Writes text on standard output and finishes it. Returns 0 when all of it reached its file,
// otherwise the errno value of the first failure (EIO when none was set).
int write_text(std::string_view text);

// Prints text on standard output and finishes it. Returns kDone, or kFailed after a message.
int print_text(std::string_view program, std::string_view text);

// What request asks to be printed: the help, made by help_text, or "NAME VERSION" and a newline
// from about. Empty for Request::kRun.
std::string request_text(const About &about, Request request,
                         const std::function<std::string()> &help_text);

// The end of a run that does no work: the usage error reported when error is not empty, else the
// help (made by help_text) or the version printed as request asks. Returns the exit status, or
// nothing when the program is to do its work.
std::optional<int> answer_without_work(const About &about, std::string_view error, Request request,
                                       std::string (*help_text)());

// Runs work and returns its exit status; when it runs out of memory (throws std::bad_alloc),
// prints "PROGRAM: out of memory" on standard error and returns kFailed.
int run_reporting_out_of_memory(std::string_view program, const std::function<int()> &work);

}  // namespace cli

#endif  // CLI_CONSOLE_H
