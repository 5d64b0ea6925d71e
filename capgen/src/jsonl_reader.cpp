#include "jsonl_reader.h"

#include <protolib/wire.h>
#include <nlohmann/json.hpp>

#include "packet_from_json.h"

namespace capgen {

namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;

// The library's message without its "[json.exception...] " tag.
std::string parse_message(const nlohmann::json::parse_error &error) {
  const std::string_view what = error.what();
  const std::size_t tag_end = what.find("] ");
  return std::string(tag_end == std::string_view::npos ? what : what.substr(tag_end + 2));
}

// Adds the packet of one line to output. Returns what is wrong with the line, or empty.
std::string add_packet(const std::string &line, BlockOutput &output) {
  if (line.find_first_not_of(" \t\r") == std::string::npos) return {};
  nlohmann::json object;
  try {
    object = nlohmann::json::parse(line);
  } catch (const nlohmann::json::parse_error &error) {
    return parse_message(error);
  }
  if (object.is_object() && object.contains("error")) return {};
  const JsonPacket packet = packet_from_json(object, output.reserve(WIRE_MAX_PACKET));
  if (packet.error.empty()) output.commit(static_cast<std::size_t>(packet.size));
  return packet.error;
}

}  // namespace

std::string packets_from_jsonl(std::istream &in, std::string_view name, const Sink &sink) {
  BlockOutput output(sink, kBlockSize);
  std::string line;
  for (uint64_t number = 1; !output.failed() && std::getline(in, line); ++number) {
    const std::string error = add_packet(line, output);
    if (!error.empty()) {
      output.flush();
      return std::string(name) + ":" + std::to_string(number) + ": " + error;
    }
  }
  output.flush();
  return in.bad() ? "cannot read " + std::string(name) : std::string();
}

}  // namespace capgen
