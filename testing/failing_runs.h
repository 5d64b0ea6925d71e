// Command lines a program must refuse, and the check that it does so properly: its status, its
// message, and nothing on standard output.
#ifndef TESTING_FAILING_RUNS_H
#define TESTING_FAILING_RUNS_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/program_runner.h"

struct FailingRun {
  std::vector<std::string> argv;
  Stdout stdout_to;
  int status;       // the exit status expected
  std::string err;  // all of standard error expected
};

// Runs program with each row's argv and checks its status, standard error and empty output.
inline void expect_failures(const std::string &program, const std::vector<FailingRun> &rows) {
  for (const FailingRun &row : rows) {
    SCOPED_TRACE(row.argv.back());
    const ProgramRun run = run_program(program, row.argv, row.stdout_to);
    EXPECT_EQ(run.status, row.status);
    EXPECT_EQ(run.err, row.err);
    EXPECT_EQ(run.out, "");
  }
}

#endif  // TESTING_FAILING_RUNS_H
