// tee_sink.h - one pass's events handed to two sinks, so a fuzz target gets two sinks' results
// (the listing and the --stats figures) from one pass instead of two.
#ifndef PROTOLIB_FUZZ_TEE_SINK_H
#define PROTOLIB_FUZZ_TEE_SINK_H

#include "capture_pass/dump_pass.h"

// Hands every event to first, then to second; has failed when either has.
class TeeSink final : public capture_pass::EventSink {
 public:
  TeeSink(capture_pass::EventSink &first, capture_pass::EventSink &second)
      : first_(first), second_(second) {}

  void packet(const capture_pass::FrameEvent &event, const uint8_t *packet,
              bool recovered) override {
    first_.packet(event, packet, recovered);
    second_.packet(event, packet, recovered);
  }
  void rejected(const capture_pass::FrameEvent &event, const uint8_t *packet) override {
    first_.rejected(event, packet);
    second_.rejected(event, packet);
  }
  void unfinished(uint64_t offset, const uint8_t *sync_pair, std::size_t received) override {
    first_.unfinished(offset, sync_pair, received);
    second_.unfinished(offset, sync_pair, received);
  }
  bool failed() const override { return first_.failed() || second_.failed(); }

 private:
  capture_pass::EventSink &first_;
  capture_pass::EventSink &second_;
};

#endif  // PROTOLIB_FUZZ_TEE_SINK_H
