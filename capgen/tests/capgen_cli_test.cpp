// capgen end to end: the built program's output bytes, messages and exit statuses.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "generator.h"
#include "options.h"
#include "program_runner.h"
#include "report.h"

namespace {

const std::string kCapgen = CAPGEN_PATH;
const std::string kTryHelp = "Try 'capgen --help' for more information.\n";

// The capture and report the core library makes of settings.
struct Expected {
  std::string bytes;
  std::string report;
};

Expected expected_for(const capgen::CaptureSettings &settings) {
  Expected expected;
  const capgen::CaptureStats stats =
      capgen::generate(settings, [&expected](const uint8_t *data, size_t size) {
        expected.bytes.append(reinterpret_cast<const char *>(data), size);
        return true;
      });
  expected.report = capgen::format_report(stats);
  return expected;
}

std::string slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(CapgenCli, WritesTheCaptureToStandardOutputOrAFile) {
  capgen::CaptureSettings settings;
  settings.max_packets = 300;
  settings.max_bytes = capgen::kNoLimit;
  settings.seed = 9;
  settings.damage.set();
  settings.damage_rate = 0.5;
  const Expected expected = expected_for(settings);

  const ProgramRun to_stdout =
      run_program(kCapgen, {"capgen", "--packets", "300", "--seed", "9", "--damage", "all",
                            "--damage-rate", "0.5", "-"});
  EXPECT_EQ(to_stdout.status, 0);
  EXPECT_EQ(to_stdout.out, expected.bytes);
  EXPECT_EQ(to_stdout.err, "");

  TempDir dir;
  const ProgramRun to_file =
      run_program(kCapgen, {"capgen", "--verbose", "--packets=300", "--seed=9", "--damage=all",
                            "--damage-rate=0.5", dir.path("out.cap")});
  EXPECT_EQ(to_file.status, 0);
  EXPECT_EQ(to_file.out, "");
  EXPECT_EQ(to_file.err, expected.report);
  EXPECT_EQ(slurp(dir.path("out.cap")), expected.bytes);
}

TEST(CapgenCli, FailuresEndWithAMessageAndTheirStatus) {
  struct Row {
    std::vector<std::string> argv;
    Stdout stdout_to;
    int status;
    std::string err;
  };
  const Row rows[] = {
      {{"capgen", "--bogus", "-"},
       Stdout::kCaptured,
       2,
       "capgen: unknown option '--bogus'\n" + kTryHelp},
      {{"capgen"},
       Stdout::kCaptured,
       2,
       "capgen: missing output file (use - for standard output)\n" + kTryHelp},
      {{"capgen", "--size", "big", "-"},
       Stdout::kCaptured,
       2,
       "capgen: invalid size 'big' (a number of bytes, optionally followed by k, M or G)\n" +
           kTryHelp},
      {{"capgen", "-"},
       Stdout::kDevFull,
       1,
       "capgen: cannot write standard output: No space left on device\n"},
      {{"capgen", "--packets", "3", "-"},
       Stdout::kDevFull,
       1,
       "capgen: cannot write standard output: No space left on device\n"},
      {{"capgen", "--help"},
       Stdout::kDevFull,
       1,
       "capgen: cannot write standard output: No space left on device\n"},
      {{"capgen", "/nonexistent-dir/x.cap"},
       Stdout::kCaptured,
       1,
       "capgen: cannot open '/nonexistent-dir/x.cap': No such file or directory\n"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.argv.back());
    const ProgramRun run = run_program(kCapgen, row.argv, row.stdout_to);
    EXPECT_EQ(run.status, row.status);
    EXPECT_EQ(run.err, row.err);
    EXPECT_EQ(run.out, "");
  }
}

TEST(CapgenCli, HelpAndVersionGoToStandardOutput) {
  const ProgramRun help = run_program(kCapgen, {"capgen", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, capgen::help_text());
  const ProgramRun version = run_program(kCapgen, {"capgen", "--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "capgen " CAPGEN_VERSION "\n");
  EXPECT_EQ(help.err + version.err, "");
}

}  // namespace
