#include "python/src/listing_numbers.h"

#include <protolib/decoder.h>

#include <cstring>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "listing/dumpten_line.h"
#include "listing/dumptwo_line.h"
#include "listing/listing.h"
#include "python/src/growing_table.h"
#include "python/src/python_source.h"
#include "python/src/table_array.h"

namespace py = pybind11;

namespace pyproto {

namespace {

// A line formatter that keeps the numbers of Line's lines (a listing::RecordLine), a row of a
// table a line, and writes no text.
template <typename LineType>
class NumberLine final : public listing::LineFormatter {
 public:
  using Line = LineType;
  static constexpr std::size_t kCount = Line::kNumbers;
  GrowingTable numbers{kCount * sizeof(int64_t)};

  NumberLine() : listing::LineFormatter(Line::kShownTypes) {}
  char *format(PacketDecoder &decoder, uint32_t /*changed*/, char *out) override {
    int64_t line[kCount];
    Line::numbers(decoder, line);
    std::memcpy(numbers.append(), line, sizeof line);
    Line::clear_shown(decoder);
    return out;
  }
};

using DumptenNumbers = NumberLine<listing::DumptenLine>;
using DumptwoNumbers = NumberLine<listing::DumptwoLine>;

class Discard final : public io::ByteSink {
 public:
  bool write(const char *, std::size_t) override { return true; }
};

template <typename Line>
py::array list_numbers(const py::handle &source, uint8_t listed_type) {
  PythonSource in(source);
  listing::ListingDecoder decoder;
  auto line = std::make_unique<Line>();
  Discard discard;
  auto out = std::make_unique<io::OutputBuffer>(discard, false);
  auto progress = std::make_unique<io::OutputBuffer>(discard, false);
  listing::ListingCounts counts;
  {
    const py::gil_scoped_release released;
    counts =
        listing::list_stream(listed_type, *line, decoder.decoder(), in.bytes(), *out, *progress);
  }
  if (counts.read_failed) in.raise_read_error();
  return release_table(line->numbers, py::dtype::of<int64_t>(), {py::ssize_t{Line::kCount}});
}

// Calls use(line) with a null pointer to the NumberLine of listed_type's lister.
template <typename Use>
auto with_line(int listed_type, Use use) {
  if (listed_type == 10) return use(static_cast<DumptenNumbers *>(nullptr));
  if (listed_type == 2) return use(static_cast<DumptwoNumbers *>(nullptr));
  throw py::value_error("listing lists type 10 (dumpten) or 2 (dumptwo), not " +
                        std::to_string(listed_type));
}

}  // namespace

py::array listing_numbers(const py::handle &source, int listed_type) {
  return with_line(listed_type, [&](auto *line) {
    return list_numbers<std::remove_pointer_t<decltype(line)>>(source,
                                                               static_cast<uint8_t>(listed_type));
  });
}

std::vector<std::string> listing_columns(int listed_type) {
  return with_line(listed_type, [](auto *line) {
    return std::remove_pointer_t<decltype(line)>::Line::column_names();
  });
}

}  // namespace pyproto
