// interrupt_check.h - Ctrl-C while a capture is read with the GIL released. Python runs its
// signal handlers only with the GIL held, so a read that may go on for long (a large file,
// /dev/zero, a pipe that stays silent) takes the GIL back now and then to run them, and stops
// with what a handler raised (KeyboardInterrupt) as its error.
#ifndef PYTHON_SRC_INTERRUPT_CHECK_H
#define PYTHON_SRC_INTERRUPT_CHECK_H

#include <pybind11/pybind11.h>

#include <chrono>
#include <optional>

namespace pyproto {

class InterruptCheck {
 public:
  // The longest a reader goes without running the handlers, and so without noticing Ctrl-C;
  // also the longest a wait for input lasts before it checks.
  static constexpr std::chrono::milliseconds kInterval{20};

  // With the GIL released: true once a handler raised. Runs the handlers, with the GIL taken
  // back for it, when kInterval has passed since they last ran, or at once when now is set (a
  // signal just cut a wait short).
  bool interrupted(bool now = false);

  // With the GIL held: raises what a handler raised; returns when none did.
  void raise_if_interrupted();

 private:
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
  std::optional<pybind11::error_already_set> raised_;
};

}  // namespace pyproto

#endif  // PYTHON_SRC_INTERRUPT_CHECK_H
