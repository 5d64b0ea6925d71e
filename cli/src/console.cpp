#include "cli/console.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "cli/exit_status.h"
#include "cli/values.h"

namespace cli {

int finish_stream(std::FILE *stream) {
  errno = 0;
  bool failed = std::fflush(stream) != 0 || std::ferror(stream) != 0;
  int error = errno;
  if (stream != stdout && std::fclose(stream) != 0 && !failed) {
    failed = true;
    error = errno;
  }
  return !failed ? 0 : error != 0 ? error : EIO;
}

int report_write_error(std::string_view program, std::string_view name, int error) {
  std::fprintf(stderr, "%.*s: cannot write %.*s: %s\n", static_cast<int>(program.size()),
               program.data(), static_cast<int>(name.size()), name.data(), std::strerror(error));
  return kFailed;
}

int report_usage_error(std::string_view program, std::string_view message) {
  const int length = static_cast<int>(program.size());
  std::fprintf(stderr, "%.*s: %.*s\nTry '%.*s --help' for more information.\n", length,
               program.data(), static_cast<int>(message.size()), message.data(), length,
               program.data());
  return kBadUsage;
}

int report_usage(std::string_view name, std::string_view usage) {
  const std::string shown = escaped(name);
  std::fprintf(stderr, "usage: %s %.*s\n", shown.c_str(), static_cast<int>(usage.size()),
               usage.data());
  return kFailed;
}

int write_text(std::string_view text) {
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  const int write_error = written ? 0 : errno != 0 ? errno : EIO;
  const int finish_error = finish_stream(stdout);
  return write_error != 0 ? write_error : finish_error;
}

int print_text(std::string_view program, std::string_view text) {
  const int error = write_text(text);
  if (error == 0) return kDone;
  return report_write_error(program, "standard output", error);
}

std::string request_text(const About &about, Request request,
                         const std::function<std::string()> &help_text) {
  switch (request) {
    case Request::kHelp:
      return help_text();
    case Request::kVersion:
      return std::string(about.name) + " " + std::string(about.version) + "\n";
    case Request::kRun:
      break;
  }
  return std::string();
}

std::optional<int> answer_without_work(const About &about, std::string_view error, Request request,
                                       std::string (*help_text)()) {
  if (!error.empty()) return report_usage_error(about.name, error);
  if (request == Request::kRun) return std::nullopt;
  return print_text(about.name, request_text(about, request, help_text));
}

int run_reporting_out_of_memory(std::string_view program, const std::function<int()> &work) {
  try {
    return work();
  } catch (const std::bad_alloc &) {
    std::fprintf(stderr, "%.*s: out of memory\n", static_cast<int>(program.size()), program.data());
    return kFailed;
  }
}

}  // namespace cli
