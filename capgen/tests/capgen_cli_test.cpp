// capgen end to end: the built program's output bytes, messages and exit statuses.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "capgen/options.h"
#include "capgen/recording/generator.h"
#include "capgen/recording/report.h"
#include "testing/failing_runs.h"
#include "testing/program_runner.h"

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
  const std::vector<FailingRun> rows = {
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
      {{"capgen", "--from-jsonl", "/nonexistent.jsonl", "-"},
       Stdout::kCaptured,
       1,
       "capgen: cannot open '/nonexistent.jsonl': No such file or directory\n"},
      {{"capgen", "/nonexistent-dir/x.cap"},
       Stdout::kCaptured,
       1,
       "capgen: cannot open '/nonexistent-dir/x.cap': No such file or directory\n"},
      {{"capgen", "--random-bytes", "--packets", "5", "-"},
       Stdout::kCaptured,
       2,
       "capgen: option '--random-bytes' takes no '--packets' (it writes --size bytes)\n" +
           kTryHelp},
      {{"capgen", "--from-jsonl", "/proc/self/mem", "-"},
       Stdout::kCaptured,
       1,
       "capgen: cannot read '/proc/self/mem': Input/output error\n"},
      {{"capgen", "--packets", "3", "-"},
       Stdout::kTerminal,
       2,
       "capgen: a capture is binary data; send standard output to a file or a pipe\n" + kTryHelp},
  };
  expect_failures(kCapgen, rows);
}

TEST(CapgenCli, FromJsonlReadsStandardInputAndLeavesTheOutputAloneOnABadInput) {
  const ProgramRun from_stdin = run_program(kCapgen, {"capgen", "--from-jsonl", "-", "-"},
                                            Stdout::kCaptured, R"({"type":5,"payload":"00"})");
  EXPECT_EQ(from_stdin.status, 0);
  EXPECT_EQ(from_stdin.out, std::string("\x81\xA1\x05\x01\x00\x06\x11", 7));
  TempDir dir;
  const std::string kept = dir.write("kept.cap", "kept");
  const ProgramRun missing =
      run_program(kCapgen, {"capgen", "--from-jsonl", dir.path("none.jsonl"), kept});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(slurp(kept), "kept");
  const ProgramRun bad_line = run_program(
      kCapgen, {"capgen", "--from-jsonl", dir.write("bad.jsonl", "{}\n"), dir.path("out.cap")});
  EXPECT_EQ(bad_line.status, 1);
  EXPECT_EQ(bad_line.err,
            "capgen: " + dir.path("bad.jsonl") + ":1: \"type\" must be an integer from 0 to 255\n");
}

// The names in dir.
std::set<std::string> files_in(const TempDir &dir) {
  std::set<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(dir.path("")))
    names.insert(entry.path().filename().string());
  return names;
}

TEST(CapgenCli, AnOutputIsReplacedOnlyByAWholeCaptureAndNeverByItsInput) {
  TempDir dir;
  const std::string packet = R"({"type":5,"payload":""})"
                             "\n";
  const std::string listing = dir.write("in.jsonl", packet);
  const std::string out = dir.write("out.cap", "kept");
  std::filesystem::create_symlink("in.jsonl", dir.path("link"));
  chmod(out.c_str(), 0640);
  const TempDir elsewhere;
  const std::string fifo = elsewhere.path("fifo");
  mkfifo(fifo.c_str(), 0600);
  struct Row {
    const char *name;
    std::vector<std::string> argv;
    std::string err;
    int status = 1;
  };
  // Stops capgen with a signal while it waits for its input.
  const auto stopped_by = [&](const char *signal) {
    return std::vector<std::string>{
        "sh",
        "-c",
        std::string(
            R"(env --default-signal "$0" --from-jsonl "$2" "$1" & exec 3>"$2" 2>/dev/null; )") +
            "sleep 0.5; " + "kill -" + signal + " $!; wait $!",
        kCapgen,
        out,
        fifo};
  };
  const Row rows[] = {
      {"a bad first line",
       {"capgen", "--from-jsonl", dir.write("bad.jsonl", "{}\n"), out},
       "capgen: " + dir.path("bad.jsonl") + ":1: \"type\" must be an integer from 0 to 255\n"},
      {"a number beyond range",
       {"capgen", "--from-jsonl", dir.write("far.jsonl", packet + R"({"type":1,"offset":1e400})"),
        out},
       "capgen: " + dir.path("far.jsonl") + ":2: number overflow parsing '1e400'\n"},
      {"the output is the input",
       {"capgen", "--from-jsonl", listing, listing},
       "capgen: cannot write '" + listing + "': it is the input\n"},
      {"the output links to the input",
       {"capgen", "--from-jsonl", listing, dir.path("link")},
       "capgen: cannot write '" + dir.path("link") + "': it is the input\n"},
      {"stopped by SIGTERM while reading", stopped_by("TERM"), "", 128 + SIGTERM},
      {"stopped by SIGQUIT while reading", stopped_by("QUIT"), "", 128 + SIGQUIT},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    const ProgramRun run = run_program(row.argv[0] == "sh" ? "/bin/sh" : kCapgen, row.argv);
    EXPECT_EQ(run.status, row.status);
    EXPECT_EQ(run.err, row.err);
    EXPECT_EQ(slurp(out), "kept");
    EXPECT_EQ(slurp(listing), packet);
    EXPECT_EQ(files_in(dir),
              (std::set<std::string>{"in.jsonl", "out.cap", "link", "bad.jsonl", "far.jsonl"}));
  }
  // A whole capture replaces the file and keeps its permissions.
  const ProgramRun done = run_program(kCapgen, {"capgen", "--from-jsonl", listing, out});
  EXPECT_EQ(done.status, 0);
  EXPECT_EQ(slurp(out), std::string("\x81\xA1\x05\x00\x05\x0A", 6));
  struct stat info {};
  ASSERT_EQ(stat(out.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  // A link to a file not there yet is followed, and stays a link.
  std::filesystem::create_symlink("new.cap", dir.path("dangling"));
  EXPECT_EQ(run_program(kCapgen, {"capgen", "--from-jsonl", listing, dir.path("dangling")}).status,
            0);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path("dangling")));
  EXPECT_EQ(slurp(dir.path("new.cap")), std::string("\x81\xA1\x05\x00\x05\x0A", 6));
  // A --verbose report that cannot be written fails the run.
  EXPECT_EQ(
      run_program("/bin/sh", {"sh", "-c", R"(exec "$0" --verbose --packets 3 "$1" 2>/dev/full)",
                              kCapgen, dir.path("verbose.cap")})
          .status,
      1);
}

TEST(CapgenCli, AFailedReadOfStandardInputIsReportedWithItsReason) {
  TempDir dir;
  const ProgramRun run = run_program(
      "/bin/sh", {"sh", "-c", R"(exec "$0" --from-jsonl - - <"$1")", kCapgen, dir.path("")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "capgen: cannot read standard input: Is a directory\n");
  EXPECT_EQ(run.out, "");
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
