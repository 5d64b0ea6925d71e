#include "python/src/interrupt_check.h"

#include <utility>

namespace py = pybind11;

namespace pyproto {

bool InterruptCheck::interrupted(bool now) {
  if (raised_) return true;
  const auto time = std::chrono::steady_clock::now();
  if (!now && time - last_ < kInterval) return false;
  last_ = time;
  const py::gil_scoped_acquire gil;
  // Does nothing outside the main thread, where Python runs no handler.
  if (PyErr_CheckSignals() != 0) raised_.emplace();
  return raised_.has_value();
}

void InterruptCheck::raise_if_interrupted() {
  if (!raised_) return;
  py::error_already_set raised = std::move(*raised_);
  raised_.reset();
  throw raised;
}

}  // namespace pyproto
