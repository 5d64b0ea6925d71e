#include "python/src/packed_row.h"

namespace pyproto {

void RowWriter::operator()(std::string_view, Text text) {
  for (std::size_t i = 0; i < text.width; ++i) {
    const uint32_t code = i < text.text.size() ? static_cast<unsigned char>(text.text[i]) : 0;
    std::memcpy(out_, &code, sizeof code);
    out_ += sizeof code;
  }
}

}  // namespace pyproto
