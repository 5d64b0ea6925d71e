// capgen's output for callers that take the bytes themselves (tests, fuzzing, benchmarks): a
// function handed them through an io::OutputBuffer, in pieces of at most 64 KiB.
#ifndef CAPGEN_SRC_SINK_H
#define CAPGEN_SRC_SINK_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "io/byte_io.h"
#include "io/output_buffer.h"

namespace capgen {

// Takes size bytes at data; returns false when they could not be written, which stops the
// output.
using Sink = std::function<bool(const uint8_t *data, std::size_t size)>;

// Calls write(out) with an io::OutputBuffer out whose bytes go to sink, flushes out, and returns
// what write returned.
template <typename Write>
auto write_through(const Sink &sink, Write &&write) {
  class Adapter final : public io::ByteSink {
   public:
    explicit Adapter(const Sink &to) : to_(to) {}
    bool write(const char *data, std::size_t size) override {
      return to_(reinterpret_cast<const uint8_t *>(data), size);
    }

   private:
    const Sink &to_;
  } adapter(sink);
  const auto out = std::make_unique<io::OutputBuffer>(adapter, false);
  auto result = write(*out);
  out->flush();
  return result;
}

}  // namespace capgen

#endif  // CAPGEN_SRC_SINK_H
