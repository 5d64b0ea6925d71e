#include "python/src/packed_columns.h"

#include <string>

namespace py = pybind11;

namespace pyproto {

void DtypeColumns::operator()(std::string_view name, Text text) {
  add(name, py::dtype("U" + std::to_string(text.width)));
}

void DtypeColumns::add(std::string_view name, const py::dtype &dtype) {
  fields_.append(py::make_tuple(py::str(name.data(), name.size()), dtype));
}

void DtypeColumns::add(std::string_view name, const py::dtype &dtype, std::size_t length) {
  fields_.append(py::make_tuple(py::str(name.data(), name.size()), dtype, py::make_tuple(length)));
}

py::dtype DtypeColumns::dtype() const {
  return py::dtype::from_args(fields_);
}

}  // namespace pyproto
