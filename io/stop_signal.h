// stop_signal.h - Ctrl-C (SIGINT), SIGTERM, a closed terminal (SIGHUP) and Ctrl-\ (SIGQUIT) as a
// request to stop reading: the program then
// finishes what it read and reports it as at the end of input, instead of dying part-way
// through a line with its summary unwritten.
#ifndef IO_STOP_SIGNAL_H
#define IO_STOP_SIGNAL_H

namespace io {

// Makes SIGINT, SIGTERM, SIGHUP and SIGQUIT record a stop request instead of ending the program. A
// second one ends it as the signal would have, for a program stuck writing to an output that never
// drains. A signal ignored when the program started stays ignored. Returns false, changing nothing,
// when the handlers cannot be installed.
bool catch_stop_signals();

// The number of the signal that asked to stop, or 0 when none has.
int stop_signal();

// A descriptor that turns readable once a stop is requested, for waiting on with poll(); -1
// before catch_stop_signals() succeeded.
int stop_signal_fd();

// The exit status of a run that ended with status: 128 + the stop signal's number when one asked
// to stop and the run otherwise succeeded (status 0), else status unchanged.
int status_after_stop(int status);

}  // namespace io

#endif  // IO_STOP_SIGNAL_H
