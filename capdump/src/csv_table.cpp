#include "capdump/src/csv_table.h"

#include <algorithm>
#include <cmath>
#include <concepts>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "capture_pass/decoded_packet.h"
#include "io/number_text.h"

namespace capdump {

namespace {

using protolib::EntryList;
using protolib::for_each_field;

// Appends a column name for each cell of the fields it is given, each after a comma.
class HeaderCells {
 public:
  explicit HeaderCells(std::string &row, std::string prefix = {})
      : row_(row), prefix_(std::move(prefix)) {}

  template <typename Scalar>
  void operator()(std::string_view name, const Scalar &) {
    row_ += ',' + prefix_ + std::string(name);
  }
  template <typename Scalar, std::size_t N>
  void operator()(std::string_view name, const Scalar (&)[N]) {
    for (std::size_t i = 0; i < N; ++i)
      row_ += ',' + prefix_ + std::string(name) + '_' + std::to_string(i);
  }
  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view name, EntryList<Entry, Capacity, Count> list) {
    for (std::size_t i = 0; i < Capacity; ++i) {
      HeaderCells entry(row_, prefix_ + std::string(name) + '_' + std::to_string(i) + '_');
      for_each_field(list.entries[i], entry);
    }
  }

 private:
  std::string &row_;
  std::string prefix_;
};

// Cells of one of Owner's entries: a cell an element of each field.
template <typename Owner>
constexpr std::size_t entry_cells() {
  std::size_t cells = 0;
  const auto field = [&cells](const auto &described) { cells += described.kLength; };
  protolib::walk_layout<Owner>(protolib::LayoutHooks{field, field, [](const auto &) {}});
  return cells;
}

// Writes a cell for each value of the fields it is given, each after a comma; entries past the
// count as empty cells.
class ValueCells {
 public:
  explicit ValueCells(char *out) : out_(out) {}
  char *end() const { return out_; }

  template <typename Scalar>
  void operator()(std::string_view, Scalar value) {
    *out_++ = ',';
    out_ = put_value(out_, value);
  }
  template <typename Scalar, std::size_t N>
  void operator()(std::string_view name, const Scalar (&values)[N]) {
    for (Scalar value : values) (*this)(name, value);
  }
  template <typename Entry, std::size_t Capacity, typename Count>
  void operator()(std::string_view, EntryList<Entry, Capacity, Count> list) {
    const std::size_t shown = std::min<std::size_t>(list.count, Capacity);
    for (std::size_t i = 0; i < shown; ++i) for_each_field(list.entries[i], *this);
    const std::size_t blank = (Capacity - shown) * entry_cells<std::remove_const_t<Entry>>();
    std::memset(out_, ',', blank);
    out_ += blank;
  }

 private:
  template <std::integral Int>
  static char *put_value(char *out, Int value) {
    return io::put_decimal(out, value);
  }
  template <std::floating_point Float>
  static char *put_value(char *out, Float value) {
    if (std::isfinite(value)) return io::put_shortest(out, value);
    const std::string_view text = std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
    return std::copy(text.begin(), text.end(), out);
  }

  char *out_;
};

}  // namespace

CsvSink::CsvSink(io::OutputBuffer &out, uint8_t type, bool recovered_column,
                 const capture_pass::PacketClock *clock)
    : out_(out), type_(type), recovered_column_(recovered_column), clock_(clock) {
  std::string header = clock != nullptr ? "offset,time,length,form" : "offset,length,form";
  if (recovered_column) header += ",recovered";
  protolib::visit_catalogue_type(type, [&header](auto kind) {
    const typename decltype(kind)::Record record{};
    HeaderCells cells(header);
    for_each_field(record, cells);
  });
  out_.append(header + ",payload\n");
}

void CsvSink::packet(const capture_pass::FrameEvent &event, const uint8_t *packet, bool recovered) {
  if (packet[0] != type_) return;
  char *out = io::put_decimal(out_.reserve(kMaxRow), event.offset);
  *out++ = ',';
  if (clock_ != nullptr) {
    if (clock_->started()) {
      const std::string_view time = time_.of(*clock_);
      out = std::copy(time.begin(), time.end(), out);
    }
    *out++ = ',';
  }
  out = io::put_decimal(out, packet[1]);
  const protolib::PacketForm form = protolib::packet_form(packet);
  *out++ = ',';
  const std::string_view name = protolib::form_name(form);
  out = std::copy(name.begin(), name.end(), out);
  if (recovered_column_) {
    *out++ = ',';
    *out++ = recovered ? '1' : '0';
  }
  capture_pass::show_decoded(packet, form, [&out](const auto &record, protolib::PacketForm) {
    ValueCells cells(out);
    for_each_field(record, cells);
    out = cells.end();
  });
  *out++ = ',';
  if (form != protolib::PacketForm::kExact) out = io::put_hex(out, packet + 2, packet[1]);
  *out++ = '\n';
  out_.commit(out);
}

}  // namespace capdump
