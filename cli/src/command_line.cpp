#include "cli/command_line.h"

#include "cli/values.h"

namespace cli {

std::optional<Request> request_named(std::string_view word) {
  if (word == "--help") return Request::kHelp;
  if (word == "--version") return Request::kVersion;
  return std::nullopt;
}

std::string CommandLine::one_file_error(std::string_view what) const {
  const std::string file(what);
  if (operands.empty()) return "missing " + file + " file (use - for standard " + file + ")";
  if (operands.size() > 1) {
    return "unexpected operand " + quoted(operands[1]) + " (one " + file + " file only)";
  }
  return {};
}

bool CommandLine::has(std::string_view name) const {
  return std::find(given.begin(), given.end(), name) != given.end();
}

CommandLine read_command_line(
    const std::vector<std::string_view> &args,
    const std::function<std::optional<bool>(std::string_view name)> &takes_value,
    const std::function<std::string(std::string_view name, std::string_view value)> &apply) {
  CommandLine line;
  for (auto arg = args.begin(); arg != args.end(); ++arg) {
    if (*arg == "--") {
      line.operands.insert(line.operands.end(), arg + 1, args.end());
      break;
    }
    if (*arg == "-" || !arg->starts_with("-")) {
      line.operands.push_back(*arg);
      continue;
    }
    const std::size_t equals = arg->find('=');
    const std::string_view name = arg->substr(0, equals);
    const bool inline_value = equals != std::string_view::npos;
    const std::optional<Request> request = request_named(name);
    const std::optional<bool> value_wanted =
        request ? std::optional<bool>(false) : takes_value(name);
    if (!value_wanted) {
      line.error = "unknown option " + quoted(name);
    } else if (inline_value && !*value_wanted) {
      line.error = "option " + quoted(name) + " takes no value";
    } else if (request) {
      line.request = *request;
    } else if (*value_wanted && !inline_value && arg + 1 == args.end()) {
      line.error = "option " + quoted(name) + " needs a value";
    } else {
      const std::string_view value = inline_value    ? arg->substr(equals + 1)
                                     : *value_wanted ? *++arg
                                                     : std::string_view();
      line.given.push_back(name);
      line.error = apply(name, value);
    }
    if (!line.error.empty() || line.request != Request::kRun) return line;
  }
  return line;
}

}  // namespace cli
