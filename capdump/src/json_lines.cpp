#include "json_lines.h"

#include <algorithm>
#include <cmath>
#include <concepts>
#include <string_view>

#include "decoded_packet.h"
#include "number_text.h"
#include "reason_names.h"

namespace capdump {

namespace {

using protolib::EntryList;
using protolib::for_each_field;

char *put_text(char *out, std::string_view text) {
  return std::copy(text.begin(), text.end(), out);
}

// Writes "text", which needs no escapes.
char *put_string(char *out, std::string_view text) {
  *out++ = '"';
  out = put_text(out, text);
  *out++ = '"';
  return out;
}

// Writes ,"name": (with suffix appended to the name).
char *put_key(char *out, std::string_view name, std::string_view suffix = {}) {
  *out++ = ',';
  *out++ = '"';
  out = put_text(put_text(out, name), suffix);
  *out++ = '"';
  *out++ = ':';
  return out;
}

// Writes each field it is given as ,"name":value.
class JsonFields {
 public:
  explicit JsonFields(char *out) : out_(out) {}
  char *end() const { return out_; }

  template <std::integral Int>
  void operator()(std::string_view name, Int value) {
    out_ = put_decimal(put_key(out_, name), value);
  }
  template <std::floating_point Float>
  void operator()(std::string_view name, Float value) {
    out_ = put_key(out_, name);
    if (std::isfinite(value)) {
      out_ = put_shortest(out_, value);
      return;
    }
    out_ = put_key(put_text(out_, "null"), name, "_bits");
    *out_++ = '"';
    out_ = put_bits(out_, value);
    *out_++ = '"';
  }
  template <std::integral Int, std::size_t N>
  void operator()(std::string_view name, const Int (&values)[N]) {
    out_ = put_key(out_, name);
    char *open = out_;
    *out_++ = '[';
    for (Int value : values) {
      out_ = put_decimal(out_, value);
      *out_++ = ',';
    }
    close_list(open);
  }
  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view name, EntryList<Entry, Capacity, Count> list) {
    out_ = put_key(out_, name);
    char *open = out_;
    *out_++ = '[';
    for (std::size_t i = 0; i < list.count && i < Capacity; ++i) {
      char *first_key = out_;
      for_each_field(list.entries[i], *this);
      *first_key = '{';  // the first field's comma opens the object
      *out_++ = '}';
      *out_++ = ',';
    }
    close_list(open);
  }

 private:
  // Ends the list begun with '[' at open, whose elements each end with a comma.
  void close_list(char *open) {
    if (out_ != open + 1) --out_;
    *out_++ = ']';
  }

  char *out_;
};

// Writes ,"payload":"<hex>" with the payload of packet.
char *put_payload(char *out, const uint8_t *packet) {
  out = put_key(out, "payload");
  *out++ = '"';
  out = put_hex(out, packet + 2, packet[1]);
  *out++ = '"';
  return out;
}

// Writes ,"type":T,"length":L from the type and length bytes at packet.
char *put_type_length(char *out, const uint8_t *packet) {
  out = put_decimal(put_key(out, "type"), packet[0]);
  return put_decimal(put_key(out, "length"), packet[1]);
}

}  // namespace

char *JsonLinesSink::put_start(char *out, uint64_t offset) {
  out = put_decimal(put_text(out, "{\"offset\":"), offset);
  if (clock_ == nullptr) return out;
  return put_text(put_text(out, ",\"time\":"), clock_->started() ? time_.of(*clock_) : "null");
}

void JsonLinesSink::write_line(const char *end) {
  out_.append(std::string_view(line_, static_cast<std::size_t>(end - line_)));
}

void JsonLinesSink::packet(const FrameEvent &event, const uint8_t *packet, bool recovered) {
  const protolib::PacketForm form = protolib::packet_form(packet);
  const bool exact = form == protolib::PacketForm::kExact;
  char *out = put_type_length(put_start(line_, event.offset), packet);
  if (!exact) out = put_string(put_key(out, "form"), protolib::form_name(form));
  if (recovered) out = put_text(put_key(out, "recovered"), "true");
  show_decoded(packet, form, [&](const auto &record, protolib::PacketForm) {
    JsonFields fields(out);
    for_each_field(record, fields);
    out = fields.end();
  });
  if (!exact) out = put_payload(out, packet);
  out = put_text(out, "}\n");
  write_line(out);
}

void JsonLinesSink::rejected(const FrameEvent &event, const uint8_t *packet) {
  if (!errors_) return;
  char *out =
      put_string(put_key(put_start(line_, event.offset), "error"), reason_name(event.reason).key);
  write_line(put_text(put_type_length(out, packet), "}\n"));
}

void JsonLinesSink::unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) {
  if (!errors_) return;
  char *out = put_string(put_key(put_start(line_, offset), "error"), "unfinished");
  if (received > 2) out = put_decimal(put_key(out, "type"), sync_pair[2]);
  if (received > 3) out = put_decimal(put_key(out, "length"), sync_pair[3]);
  out = put_decimal(put_key(out, "received"), received);
  write_line(put_text(out, "}\n"));
}

}  // namespace capdump
