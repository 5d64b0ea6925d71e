// module.cpp - protolib._protolib, the compiled half of the Python package: reading captures
// into arrays, packets one by one, listing numbers and encoding. The package's __init__.py
// gives these their public names and documentation.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "capture_pass/packet_clock.h"
#include "python/src/capture_tables.h"
#include "python/src/listing_numbers.h"
#include "python/src/packet_fields.h"
#include "python/src/packet_stream.h"
#include "python/src/packet_tuple.h"
#include "python/src/row_dtype.h"

namespace py = pybind11;

namespace {

// A packet type number as given from Python, checked.
unsigned checked_type(int type) {
  if (type < 0 || type > 255) {
    throw py::value_error("a packet type is 0 to 255, not " + std::to_string(type));
  }
  return static_cast<unsigned>(type);
}

// The clock named by text (TYPE.FIELD[:UNIT]), or none; raises ValueError with parse_clock's
// message for text that names none.
std::optional<capture_pass::NamedClock> checked_clock(const std::optional<std::string> &text) {
  if (!text) return std::nullopt;
  capture_pass::ClockParse parse = capture_pass::parse_clock(*text);
  if (!parse.clock) throw py::value_error(parse.error);
  return std::move(parse.clock);
}

py::tuple read_arrays(const py::handle &source, const std::optional<std::vector<int>> &types,
                      bool recover, bool keep_malformed, const std::optional<std::string> &clock,
                      std::optional<double> gap) {
  pyproto::ReadOptions options;
  if (types) {
    for (int type : *types) options.keep.set(checked_type(type));
  } else {
    options.keep.set();
  }
  options.recover = recover;
  options.keep_malformed = keep_malformed;
  options.clock = checked_clock(clock);
  if (gap && !options.clock) throw py::value_error("gap needs a clock");
  if (gap && !(std::isfinite(*gap) && *gap > 0)) {
    throw py::value_error("gap is a positive number of seconds, not " + std::to_string(*gap));
  }
  options.gap = gap;
  return pyproto::read_capture(source, options);
}

}  // namespace

PYBIND11_MODULE(_protolib, module) {
  module.doc() = "The compiled part of protolib; use the functions of the protolib package.";
  module.attr("__version__") = PROTOLIB_VERSION;  // the project's, as the programs' --version
  module.def("read", &read_arrays, py::arg("source"), py::arg("types"), py::arg("recover"),
             py::arg("keep_malformed"), py::arg("clock"), py::arg("gap"),
             "(arrays by type, malformed, errors, gaps, stats as JSON text) of a capture.");
  module.def(
      "row_dtype",
      [](int type, bool time, bool recovered) {
        return pyproto::row_dtype(checked_type(type), {time, recovered});
      },
      py::arg("type"), py::arg("time") = false, py::arg("recovered") = false,
      "The dtype of the rows of type, with a time and a recovered column or not.");
  module.def("listing", &pyproto::listing_numbers, py::arg("source"), py::arg("type"),
             "The numbers of dumpten's (type 10) or dumptwo's (type 2) lines.");
  module.def("listing_columns", &pyproto::listing_columns, py::arg("type"),
             "The names of listing's columns for type 10 or 2.");
  module.def("encode", &pyproto::encode_packet, py::arg("type"), py::arg("fields"),
             "One whole packet of type from its fields.");
  module.add_object("Packet", pyproto::packet_tuple_type());
  py::class_<pyproto::PacketStream>(module, "PacketStream",
                                    "The packets of a capture, a block at a time.")
      .def(py::init([](const py::handle &source, const std::optional<std::string> &clock) {
             // The clock is checked before the source is opened.
             const std::optional<capture_pass::NamedClock> timing = checked_clock(clock);
             return std::make_unique<pyproto::PacketStream>(source, timing);
           }),
           py::arg("source"), py::arg("clock"))
      .def("next_block", &pyproto::PacketStream::next_block,
           "The Packet tuples of the next block; None at the end.");
}
