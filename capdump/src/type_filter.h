// type_filter.h - passes on the packets of chosen types only, and on request exact ones only.
#ifndef CAPDUMP_SRC_TYPE_FILTER_H
#define CAPDUMP_SRC_TYPE_FILTER_H

#include <bitset>
#include <cstddef>
#include <cstdint>

#include <protolib/packet_form.hpp>

#include "capture_pass/dump_pass.h"

namespace capdump {

// Hands to next the packets whose type byte is in types (and with exact_only, that are exact),
// and every rejected and cut-off packet: the type byte of a damaged packet is not to be trusted.
class TypeFilter final : public capture_pass::EventSink {
 public:
  TypeFilter(const std::bitset<256> &types, capture_pass::EventSink &next, bool exact_only = false)
      : types_(types), next_(next), exact_only_(exact_only) {}

  void packet(const capture_pass::FrameEvent &event, const uint8_t *packet,
              bool recovered) override {
    if (!types_[packet[0]]) return;
    if (exact_only_ && protolib::packet_form(packet) != protolib::PacketForm::kExact) return;
    next_.packet(event, packet, recovered);
  }
  void rejected(const capture_pass::FrameEvent &event, const uint8_t *packet) override {
    next_.rejected(event, packet);
  }
  void unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) override {
    next_.unfinished(offset, sync_pair, received);
  }
  bool failed() const override { return next_.failed(); }

 private:
  std::bitset<256> types_;
  capture_pass::EventSink &next_;
  bool exact_only_;
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_TYPE_FILTER_H
