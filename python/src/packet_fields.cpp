#include "python/src/packet_fields.h"

#include <protolib/catalogue.hpp>

#include <algorithm>
#include <bit>
#include <cmath>
#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "capture_pass/decoded_packet.h"
#include "field_rules/field_rules.h"
#include "python/src/buffer_view.h"

namespace py = pybind11;

namespace pyproto {

namespace {

using protolib::EntryList;

// Takes a new reference, raising the pending Python error when there is none.
py::object steal(PyObject *object) {
  if (object == nullptr) throw py::error_already_set();
  return py::reinterpret_steal<py::object>(object);
}

// The interned str of a field name; names are the catalogue's literals, so their addresses
// identify them. Kept for the life of the process, as interned strings are.
PyObject *key(std::string_view name) {
  static auto *const keys = new std::unordered_map<const char *, PyObject *>();
  auto [entry, added] = keys->try_emplace(name.data(), nullptr);
  if (added) {
    entry->second =
        steal(PyUnicode_FromStringAndSize(name.data(), static_cast<py::ssize_t>(name.size())))
            .release()
            .ptr();
    PyUnicode_InternInPlace(&entry->second);
  }
  return entry->second;
}

// A float as a double with a NaN's sign, payload and signalling bit kept: the hardware's
// conversion quiets a signalling NaN, and encode would then give back other bytes
// (field_rules::float_value is its inverse).
double widen(float value) {
  if (!std::isnan(value)) return value;
  const auto bits = std::bit_cast<uint32_t>(value);
  const uint64_t sign = uint64_t{bits >> 31} << 63;
  const uint64_t payload = uint64_t{bits & 0x7FFFFFU} << 29;
  return std::bit_cast<double>(sign | 0x7FF0000000000000ULL | payload);
}

template <typename Value>
PyObject *new_number(Value value) {
  if constexpr (std::is_same_v<Value, float>) {
    return PyFloat_FromDouble(widen(value));
  } else if constexpr (std::floating_point<Value>) {
    return PyFloat_FromDouble(value);
  } else if constexpr (std::is_signed_v<Value>) {
    return PyLong_FromLong(value);
  } else {
    return PyLong_FromUnsignedLong(value);
  }
}

// Sets each field it is given in a dict.
class DictWriter {
 public:
  explicit DictWriter(py::dict &dict) : dict_(dict) {}

  template <typename Value>
  void operator()(std::string_view name, const Value &value) {
    if constexpr (std::is_array_v<Value>) {
      py::object list = steal(PyList_New(std::extent_v<Value>));
      for (std::size_t i = 0; i < std::extent_v<Value>; ++i) {
        PyList_SET_ITEM(list.ptr(), static_cast<py::ssize_t>(i),
                        steal(new_number(value[i])).release().ptr());
      }
      set(name, list);
    } else {
      set(name, steal(new_number(value)));
    }
  }
  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view name, EntryList<Entry, Capacity, Count> list) {
    const std::size_t count = std::min<std::size_t>(list.count, Capacity);
    py::object entries = steal(PyList_New(static_cast<py::ssize_t>(count)));
    for (std::size_t i = 0; i < count; ++i) {
      py::dict entry;
      protolib::for_each_field(list.entries[i], DictWriter(entry));
      PyList_SET_ITEM(entries.ptr(), static_cast<py::ssize_t>(i), entry.release().ptr());
    }
    set(name, entries);
  }

 private:
  void set(std::string_view name, const py::object &value) {
    if (PyDict_SetItem(dict_.ptr(), key(name), value.ptr()) != 0) throw py::error_already_set();
  }

  py::dict &dict_;
};

// Fills each field it is given from a dict, leaving missing ones as they are, by the rules of
// field_rules.h.
class DictReader {
 public:
  // context: where the dict lies in the fields, for messages ("entries[2] "), empty for the
  // record's own.
  explicit DictReader(py::dict dict, std::string context = {})
      : dict_(std::move(dict)), context_(std::move(context)) {}

  template <typename Value>
  void operator()(std::string_view name, Value &value) {
    const py::handle item = find(name);
    if (!item) return;
    if constexpr (std::is_array_v<Value>) {
      const auto sequence = py::reinterpret_borrow<py::sequence>(item);
      if (!py::isinstance<py::sequence>(item) || py::len(sequence) != std::extent_v<Value>) {
        refuse(name, "a sequence of " + std::to_string(std::extent_v<Value>) + " integers");
      }
      for (std::size_t i = 0; i < std::extent_v<Value>; ++i) {
        value[i] = to_field<std::remove_extent_t<Value>>(name, sequence[i]);
      }
    } else {
      value = to_field<Value>(name, item);
    }
  }
  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view name, EntryList<Entry, Capacity, Count> list) {
    const bool count_given = found_last_;  // the count byte is visited just before its entries
    const py::handle item = find(name);
    if (!item) return;
    if (!py::isinstance<py::sequence>(item) || py::len(item) > Capacity) {
      refuse(name, "a sequence of at most " + std::to_string(Capacity) + " dicts");
    }
    const auto entries = py::reinterpret_borrow<py::sequence>(item);
    const std::optional<uint8_t> count = field_rules::entry_count(
        count_given ? std::optional<uint8_t>(list.count) : std::nullopt, py::len(entries));
    if (!count) refuse(name, field_rules::kEntriesAsCounted);
    list.count = *count;
    for (std::size_t i = 0; i < py::len(entries); ++i) {
      if (!py::isinstance<py::dict>(entries[i])) refuse(name, "a sequence of dicts");
      DictReader entry(py::reinterpret_borrow<py::dict>(entries[i]),
                       context_ + std::string(name) + "[" + std::to_string(i) + "] ");
      protolib::for_each_field(list.entries[i], entry);
      entry.reject_unknown();
    }
  }

  // Raises ValueError naming the first key of the dict that no field took.
  void reject_unknown() const {
    for (const auto &[name, value] : dict_) {
      const std::string text = py::str(name);
      if (std::find(known_.begin(), known_.end(), text) == known_.end()) {
        throw py::value_error(context_ + "no field named '" + text + "'");
      }
    }
  }

 private:
  // Raises ValueError: the field name's value must be as expected.
  [[noreturn]] void refuse(std::string_view name, std::string_view expected) const {
    throw py::value_error(context_ + field_rules::must_be(name, expected));
  }

  // The value of a field from a Python number, within the field's range.
  template <typename Value>
  Value to_field(std::string_view name, const py::handle &item) const {
    std::optional<Value> value;
    if constexpr (std::floating_point<Value>) {
      const double number = PyFloat_AsDouble(item.ptr());
      if (number == -1.0 && PyErr_Occurred()) throw py::error_already_set();
      value = field_rules::floating_value<Value>(number);
      if (!value) refuse(name, field_rules::kFloatRange);
    } else {
      const py::object number = steal(PyNumber_Index(item.ptr()));
      int overflow = 0;
      const long long integer = PyLong_AsLongLongAndOverflow(number.ptr(), &overflow);
      if (integer == -1 && PyErr_Occurred()) throw py::error_already_set();
      if (overflow == 0) value = field_rules::integer_value<Value>(integer);
      if (!value) refuse(name, field_rules::integer_range<Value>());
    }
    return *value;
  }

  // The dict's value for the field name, or null; notes name as known.
  py::handle find(std::string_view name) {
    known_.emplace_back(name);
    const py::handle item = PyDict_GetItem(dict_.ptr(), key(name));
    found_last_ = static_cast<bool>(item);
    return item;
  }

  py::dict dict_;
  std::string context_;
  std::vector<std::string> known_;
  bool found_last_ = false;
};

}  // namespace

py::dict packet_fields(const uint8_t *packet) {
  py::dict fields;
  bool complete = false;
  capture_pass::show_decoded(packet, [&](const auto &record, protolib::PacketForm form) {
    protolib::for_each_field(record, DictWriter(fields));
    complete = form == protolib::PacketForm::kExact;
  });
  if (!complete) {
    fields[key("payload")] = py::bytes(reinterpret_cast<const char *>(packet + 2), packet[1]);
  }
  return fields;
}

py::bytes encode_packet(int type, const py::dict &fields) {
  if (type < 0 || type > 255)
    throw py::value_error("type must be 0 to 255, not " + std::to_string(type));
  uint8_t packet[WIRE_MAX_PACKET];
  int32_t size = 0;
  if (fields.contains("payload")) {
    const BufferView payload(fields["payload"]);
    const std::size_t length = payload.size();
    if (length > WIRE_MAX_PAYLOAD) {
      throw py::value_error(field_rules::must_be("payload", "up to 255 bytes"));
    }
    uint8_t *end = packet_begin(packet, static_cast<uint8_t>(type));
    payload.copy_to(end);
    size = packet_finish(packet, end + length);
  } else {
    const bool catalogue =
        protolib::visit_catalogue_type(static_cast<unsigned>(type), [&](auto kind) {
          typename decltype(kind)::Record record{};
          DictReader reader(fields);
          protolib::for_each_field(record, reader);
          reader.reject_unknown();
          size = kind.encode(record, packet);
        });
    if (!catalogue) {
      throw py::value_error("type " + std::to_string(type) +
                            " is not in the catalogue: give its payload as fields['payload']");
    }
  }
  return py::bytes(reinterpret_cast<const char *>(packet), static_cast<std::size_t>(size));
}

}  // namespace pyproto
