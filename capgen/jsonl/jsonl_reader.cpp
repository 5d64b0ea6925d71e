#include "capgen/jsonl/jsonl_reader.h"

#include <protolib/wire.h>
#include <nlohmann/json.hpp>

#include <cstring>

#include "capgen/jsonl/input_excerpt.h"
#include "capgen/jsonl/line_reader.h"
#include "capgen/jsonl/packet_from_json.h"

namespace capgen {

namespace {

// Arrays and objects nest this deep at most in a line; capdump's lines nest four deep.
constexpr std::size_t kMaxNesting = 64;

// True when line opens arrays and objects more than kMaxNesting deep, strings aside; a
// deeper value could exhaust the stack of whatever walks it recursively.
bool nests_too_deep(std::string_view line) {
  std::size_t depth = 0;
  bool in_string = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (in_string) {
      if (c == '\\') ++i;
      in_string = c != '"';
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxNesting) return true;
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return false;
}

// Adds the packet of one line to output. Returns what is wrong with the line, or empty.
std::string add_packet(std::string_view line, io::OutputBuffer &output) {
  if (line.find_first_not_of(" \t\r") == std::string_view::npos) return {};
  // The JSON library would stop at a NUL and take the line for what comes before it.
  if (const std::size_t nul = line.find('\0'); nul != std::string_view::npos)
    return "a NUL byte at column " + std::to_string(nul + 1);
  if (nests_too_deep(line))
    return "arrays and objects nested more than " + std::to_string(kMaxNesting) + " deep";
  try {
    const nlohmann::json object = nlohmann::json::parse(line);
    if (object.is_object() && object.contains("error")) return {};
    const JsonPacket packet = packet_from_json(object, output.reserve_bytes(WIRE_MAX_PACKET));
    if (packet.error.empty()) output.commit_bytes(static_cast<std::size_t>(packet.size));
    return packet.error;
  } catch (const nlohmann::json::exception &error) {
    return json_library_message(error.what());
  }
}

}  // namespace

std::string packets_from_jsonl(io::ByteSource &in, std::string_view name, std::string_view shown,
                               io::OutputBuffer &output) {
  LineReader lines(in, kMaxJsonLine);
  std::string error;
  std::string_view line;
  for (uint64_t number = 1; !output.failed(); ++number) {
    const LineReader::Result result = lines.next(line);
    if (result == LineReader::Result::kEnd) break;
    if (result == LineReader::Result::kFailed) {
      error = "cannot read " + std::string(shown) + ": " + std::strerror(lines.error());
      break;
    }
    const std::string wrong = result == LineReader::Result::kTooLong
                                  ? "line longer than " + std::to_string(kMaxJsonLine) + " bytes"
                                  : add_packet(line, output);
    if (!wrong.empty()) {
      error = std::string(name) + ":" + std::to_string(number) + ": " + wrong;
      break;
    }
  }
  return error;
}

}  // namespace capgen
