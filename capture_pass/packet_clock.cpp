#include "capture_pass/packet_clock.h"

#include <protolib/packet_form.hpp>

#include <cmath>

#include "cli/values.h"

namespace capture_pass {

namespace {

// The scalar integer fields of type as "lead, uword, ..."; empty when it has none.
std::string integer_fields(unsigned type) {
  std::string names;
  protolib::for_each_scalar_field(type, [&](const protolib::ScalarField &field) {
    if (protolib::is_integer(field.wire_type))
      names.append(names.empty() ? "" : ", ").append(field.name);
  });
  return names;
}

std::optional<double> parse_unit(std::string_view unit) {
  if (unit == "ns") return 1e-9;
  if (unit == "us") return 1e-6;
  if (unit == "ms") return 1e-3;
  if (unit == "s") return 1.0;
  const std::optional<double> seconds = cli::parse_number(unit);
  if (!seconds || *seconds <= 0) return std::nullopt;
  return seconds;
}

}  // namespace

ClockParse parse_clock(std::string_view text) {
  constexpr std::string_view kForm = " (TYPE.FIELD[:UNIT], as 10.lead:ms)";
  ClockParse parse;
  const std::string_view text_as_given = text;
  std::string_view unit = "s";
  if (const std::size_t colon = text.find(':'); colon != std::string_view::npos) {
    unit = text.substr(colon + 1);
    text = text.substr(0, colon);
  }
  const std::size_t dot = text.find('.');
  const std::optional<uint64_t> type =
      dot == std::string_view::npos ? std::nullopt : cli::parse_decimal(text.substr(0, dot), 255);
  if (!type || !protolib::in_catalogue(static_cast<unsigned>(*type))) {
    parse.error =
        "invalid clock " + cli::quoted(text) + kForm.data() + "; TYPE is a catalogue type";
    return parse;
  }
  const std::string_view name = text.substr(dot + 1);
  std::optional<protolib::ScalarField> found;
  protolib::for_each_scalar_field(static_cast<unsigned>(*type), [&](const auto &field) {
    if (field.name == name && protolib::is_integer(field.wire_type)) found = field;
  });
  if (!found) {
    const std::string valid = integer_fields(static_cast<unsigned>(*type));
    parse.error = "type " + std::to_string(*type) + " has no clock field " + cli::quoted(name) +
                  (valid.empty() ? std::string(" (it has no scalar integer field)")
                                 : " (its scalar integer fields: " + valid + ")");
    return parse;
  }
  const std::optional<double> seconds = parse_unit(unit);
  if (!seconds) {
    parse.error = "invalid clock unit " + cli::quoted(unit) +
                  " (ns, us, ms, s or a positive number of seconds per tick)";
    return parse;
  }
  const double per_second = std::round(1 / *seconds);
  const bool whole = per_second >= 1 && std::fabs(per_second * *seconds - 1) < 1e-12;
  int decimals = -1;
  double power = 1;
  for (int k = 0; k <= 9 && whole; ++k, power *= 10) {
    if (per_second == power) decimals = k;
  }
  parse.clock = NamedClock{std::string(text_as_given),
                           static_cast<uint8_t>(*type),
                           *found,
                           *seconds,
                           whole ? per_second : 0,
                           decimals};
  return parse;
}

PacketClock::PacketClock(const NamedClock &named) : named_(named) {
  const std::size_t bits = 8 * protolib::wire_size(named.field.wire_type);
  modulus_mask_ = bits >= 32 ? UINT32_MAX : (uint32_t{1} << bits) - 1;
}

std::optional<ClockTick> PacketClock::observe_own_type(const uint8_t *packet) {
  if (protolib::packet_form(packet) != protolib::PacketForm::kExact) return std::nullopt;
  const uint32_t raw = protolib::read_integer_bits(packet + 2, named_.field);
  if (!started_) {
    started_ = true;
    raw_ = raw;
    ticks_ = first_ticks_ = raw;
    now_ = named_.seconds(ticks_);
    return ClockTick{true, false, 0, ticks_};
  }
  const uint32_t forward = (raw - raw_) & modulus_mask_;
  raw_ = raw;
  if (forward > modulus_mask_ / 2) {
    ++resets_;
    return ClockTick{false, true, 0, ticks_};
  }
  ticks_ += forward;
  now_ = named_.seconds(ticks_);
  return ClockTick{false, false, forward, ticks_};
}

}  // namespace capture_pass
