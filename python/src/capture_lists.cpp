#include "python/src/capture_lists.h"

#include <algorithm>
#include <string_view>

#include "python/src/packed_columns.h"

namespace py = pybind11;

namespace pyproto {

namespace {

constexpr std::string_view kUnfinishedName = "unfinished";

std::string_view reason_key(std::size_t reason) {
  return reason == kUnfinished ? kUnfinishedName : capture_pass::kReasonNames[reason].key;
}

constexpr std::size_t kReasonWidth = [] {
  std::size_t width = kUnfinishedName.size();
  for (const capture_pass::ReasonName &name : capture_pass::kReasonNames) {
    width = std::max(width, name.key.size());
  }
  return width;
}();

std::size_t form_width() {
  std::size_t width = 0;
  for (std::size_t form = 0; form < protolib::kPacketForms; ++form) {
    width = std::max(width, protolib::form_name(static_cast<protolib::PacketForm>(form)).size());
  }
  return width;
}

}  // namespace

py::array malformed_array(const std::vector<MalformedRow> &rows, HeadColumns which) {
  const std::size_t width = form_width();
  return packed_array(rows, [&](auto &columns, const MalformedRow &row) {
    columns("offset", row.offset);
    if (which.time) columns("time", row.time);
    columns("type", row.type);
    columns("length", row.length);
    columns("form", Text{protolib::form_name(row.form), width});
    if (which.recovered) columns("recovered", row.recovered);
  });
}

py::array error_array(const std::vector<ErrorRow> &rows, bool timed) {
  return packed_array(rows, [&](auto &columns, const ErrorRow &row) {
    columns("offset", row.offset);
    if (timed) columns("time", row.time);
    columns("reason", Text{reason_key(row.reason), kReasonWidth});
    columns("type", row.type);
    columns("length", row.length);
  });
}

py::array gap_array(const std::vector<capture_pass::Gap> &gaps) {
  return packed_array(gaps, [](auto &columns, const capture_pass::Gap &gap) {
    columns("offset", gap.offset);
    columns("start", gap.start);
    columns("seconds", gap.seconds);
  });
}

}  // namespace pyproto
