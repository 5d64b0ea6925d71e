// module.cpp - protolib._protolib, the compiled half of the Python package: reading captures
// into arrays, packets one by one, listing numbers and encoding. The package's __init__.py
// gives these their public names and documentation.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <bitset>
#include <optional>
#include <string>
#include <vector>

#include "capture_tables.h"
#include "listing_numbers.h"
#include "packet_fields.h"
#include "packet_stream.h"
#include "record_rows.h"

namespace py = pybind11;

namespace {

// A packet type number as given from Python, checked.
unsigned checked_type(int type) {
  if (type < 0 || type > 255) {
    throw py::value_error("a packet type is 0 to 255, not " + std::to_string(type));
  }
  return static_cast<unsigned>(type);
}

py::tuple read_arrays(const py::handle &source, const std::optional<std::vector<int>> &types,
                      bool recover) {
  std::bitset<256> keep;
  if (types) {
    for (int type : *types) keep.set(checked_type(type));
  } else {
    keep.set();
  }
  return pyproto::read_capture(source, keep, recover);
}

}  // namespace

PYBIND11_MODULE(_protolib, module) {
  module.doc() = "The compiled part of protolib; use the functions of the protolib package.";
  module.def("read", &read_arrays, py::arg("source"), py::arg("types"), py::arg("recover"),
             "(arrays by type, errors, stats as JSON text) of a capture.");
  module.def(
      "row_dtype", [](int type) { return pyproto::row_dtype(checked_type(type)); }, py::arg("type"),
      "The dtype of the rows of type.");
  module.def("listing", &pyproto::listing_numbers, py::arg("source"), py::arg("type"),
             "The numbers of dumpten's (type 10) or dumptwo's (type 2) lines.");
  module.def("encode", &pyproto::encode_packet, py::arg("type"), py::arg("fields"),
             "One whole packet of type from its fields.");
  py::class_<pyproto::PacketStream>(module, "PacketStream",
                                    "The packets of a capture, a block at a time.")
      .def(py::init<const py::handle &>(), py::arg("source"))
      .def("next_block", &pyproto::PacketStream::next_block,
           "The (offset, type, fields) tuples of the next block; None at the end.");
}
