#include "capdump/src/json_lines.h"

#include <cstring>
#include <string_view>

#include "capdump/src/constant_text.h"
#include "capdump/src/json_fields.h"
#include "capture_pass/decoded_packet.h"
#include "capture_pass/reason_names.h"
#include "io/number_text.h"

namespace capdump {

namespace {

char *put_text(char *out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

// Writes ,"payload":"<hex>" with the payload of packet.
char *put_payload(char *out, const uint8_t *packet) {
  out = io::put_hex(put_literal(out, ",\"payload\":\""), packet + 2, packet[1]);
  *out++ = '"';
  return out;
}

// Writes ,"type":T,"length":L from the type and length bytes at packet.
char *put_type_length(char *out, const uint8_t *packet) {
  out = io::put_decimal(put_literal(out, ",\"type\":"), packet[0]);
  return io::put_decimal(put_literal(out, ",\"length\":"), packet[1]);
}

// Writes ,"error":"<key>".
char *put_error(char *out, std::string_view key) {
  out = put_text(put_literal(out, ",\"error\":\""), key);
  *out++ = '"';
  return out;
}

}  // namespace

char *JsonLinesSink::put_start(char *out, uint64_t offset) {
  out = io::put_decimal(put_literal(out, "{\"offset\":"), offset);
  if (clock_ == nullptr) return out;
  out = put_literal(out, ",\"time\":");
  return clock_->started() ? put_text(out, time_.of(*clock_)) : put_literal(out, "null");
}

void JsonLinesSink::packet(const capture_pass::FrameEvent &event, const uint8_t *packet,
                           bool recovered) {
  const protolib::PacketForm form = protolib::packet_form(packet);
  const bool exact = form == protolib::PacketForm::kExact;
  char *out = put_type_length(put_start(out_.reserve(kMaxLine), event.offset), packet);
  if (!exact) {
    out = put_text(put_literal(out, ",\"form\":\""), protolib::form_name(form));
    *out++ = '"';
  }
  if (recovered) out = put_literal(out, ",\"recovered\":true");
  capture_pass::show_decoded(packet, form, [&out](const auto &record, protolib::PacketForm) {
    out = put_json_fields(out, record);
  });
  if (!exact) out = put_payload(out, packet);
  out_.commit(put_literal(out, "}\n"));
}

void JsonLinesSink::rejected(const capture_pass::FrameEvent &event, const uint8_t *packet) {
  if (!errors_) return;
  char *out = put_start(out_.reserve(kMaxLine), event.offset);
  out = put_type_length(put_error(out, capture_pass::reason_name(event.reason).key), packet);
  out_.commit(put_literal(out, "}\n"));
}

void JsonLinesSink::unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) {
  if (!errors_) return;
  char *out = put_error(put_start(out_.reserve(kMaxLine), offset), "unfinished");
  if (received > 2) out = io::put_decimal(put_literal(out, ",\"type\":"), sync_pair[2]);
  if (received > 3) out = io::put_decimal(put_literal(out, ",\"length\":"), sync_pair[3]);
  out = io::put_decimal(put_literal(out, ",\"received\":"), received);
  out_.commit(put_literal(out, "}\n"));
}

}  // namespace capdump
