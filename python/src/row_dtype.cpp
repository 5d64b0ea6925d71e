#include "python/src/row_dtype.h"

#include "python/src/packed_columns.h"

namespace py = pybind11;

namespace pyproto {

py::dtype row_dtype(unsigned type, HeadColumns which) {
  DtypeColumns columns;
  describe_head(columns, which, PacketHead{});
  if (!describe_fields(columns, type)) {
    columns.add("payload", py::dtype::of<uint8_t>(), WIRE_MAX_PAYLOAD);
  }
  return columns.dtype();
}

}  // namespace pyproto
