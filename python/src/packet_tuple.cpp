#include "python/src/packet_tuple.h"

#include <protolib/packet_form.hpp>

#include <array>
#include <cmath>

#include "python/src/packet_fields.h"

namespace py = pybind11;

namespace pyproto {

namespace {

PyStructSequence_Field kPacketFields[] = {
    {"offset", "where the packet's sync pair starts, as capdump prints it"},
    {"type", "the packet's type byte"},
    {"fields", "the record's fields by name, as for encode (see iter_packets)"},
    {"form",
     "the payload against its type's layout: 'exact', 'short', 'long', 'over_capacity' (a count "
     "byte above the entries' capacity) or 'unknown' (a type outside the catalogue)"},
    {"time",
     "the packet's time in seconds by the clock iter_packets was given: NaN without a clock and "
     "before its first packet"},
    {nullptr, nullptr},
};

PyStructSequence_Desc kPacketDesc = {
    "protolib.Packet",
    "A packet of a capture: the tuple (offset, type, fields), and form and time as attributes.",
    kPacketFields,
    3,
};

// The str of form, made once.
py::handle form_text(protolib::PacketForm form) {
  static const auto *const texts = [] {
    auto *made = new std::array<py::object, protolib::kPacketForms>();
    for (std::size_t i = 0; i < made->size(); ++i) {
      (*made)[i] = py::str(protolib::form_name(static_cast<protolib::PacketForm>(i)));
    }
    return made;
  }();
  return (*texts)[static_cast<std::size_t>(form)];
}

// time as a float; NaN, the time of every packet without a clock, as one float made once.
py::object time_value(double time) {
  static const auto *const nan = new py::float_(NAN);
  return std::isnan(time) ? *nan : py::float_(time);
}

}  // namespace

py::handle packet_tuple_type() {
  static PyTypeObject *const type = [] {
    PyTypeObject *made = PyStructSequence_NewType(&kPacketDesc);
    if (made == nullptr) throw py::error_already_set();
    return made;
  }();
  return reinterpret_cast<PyObject *>(type);
}

py::object packet_tuple(uint64_t offset, const uint8_t *packet, double time) {
  auto tuple = py::reinterpret_steal<py::object>(
      PyStructSequence_New(reinterpret_cast<PyTypeObject *>(packet_tuple_type().ptr())));
  if (!tuple) throw py::error_already_set();
  py::object items[] = {
      py::int_(offset),
      py::int_(packet[0]),
      packet_fields(packet),
      py::reinterpret_borrow<py::object>(form_text(protolib::packet_form(packet))),
      time_value(time),
  };
  for (std::size_t i = 0; i < std::size(items); ++i) {
    PyStructSequence_SetItem(tuple.ptr(), static_cast<py::ssize_t>(i), items[i].release().ptr());
  }
  return tuple;
}

}  // namespace pyproto
