// capdump end to end: the built program's output, messages and exit statuses, standard input,
// and a capture turned into JSON Lines by capdump and back into bytes by capgen.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <protolib/catalogue.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "capdump/src/command.h"
#include "capdump/src/options.h"
#include "testing/failing_runs.h"
#include "testing/program_runner.h"
#include "testing/test_packets.h"

namespace {

const std::string kCapdump = CAPDUMP_PATH;
const std::string kCapgen = CAPGEN_PATH;
const std::string kTryHelp = "Try 'capdump --help' for more information.\n";

std::string slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string as_text(const Bytes &bytes) {
  return std::string(bytes.begin(), bytes.end());
}

const std::string kOneLine =
    R"({"offset":0,"type":1,"length":8,"lead":66051,"uword":1029,"word":1543})"
    "\n";

TEST(CapdumpCli, FailuresEndWithAMessageAndTheirStatus) {
  TempDir dir;
  const std::string capture = dir.write("one.cap", as_text(make_packet(1, counting_payload(8))));
  // A capture named as --split would name its type-1 file, and a type-1 file that cannot be
  // written.
  dir.write("type-1.csv", as_text(make_packet(1, counting_payload(8))));
  ASSERT_EQ(mkdir(dir.path("full").c_str(), 0777), 0);
  ASSERT_EQ(symlink("/dev/full", dir.path("full/type-1.csv").c_str()), 0);
  const std::vector<FailingRun> rows = {
      {{"capdump"},
       Stdout::kCaptured,
       2,
       "capdump: missing input file (use - for standard input)\n" + kTryHelp},
      {{"capdump", "--bogus", capture},
       Stdout::kCaptured,
       2,
       "capdump: unknown option '--bogus'\n" + kTryHelp},
      {{"capdump", "/nonexistent.cap"},
       Stdout::kCaptured,
       1,
       "capdump: cannot open '/nonexistent.cap': No such file or directory\n"},
      {{"capdump", "/nonexistent\x1b[2J.cap"},
       Stdout::kCaptured,
       1,
       "capdump: cannot open '/nonexistent\\x1b[2J.cap': No such file or directory\n"},
      {{"capdump", "--stats", dir.path("")},
       Stdout::kCaptured,
       1,
       "capdump: cannot open '" + dir.path("") + "': Is a directory\n"},
      {{"capdump", "/proc/self/mem"},
       Stdout::kCaptured,
       1,
       "capdump: error reading '/proc/self/mem': Input/output error\n"},
      {{"capdump", capture},
       Stdout::kDevFull,
       1,
       "capdump: cannot write standard output: No space left on device\n"},
      {{"capdump", "--report", dir.path("none/r.html"), capture},
       Stdout::kCaptured,
       1,
       "capdump: cannot write '" + dir.path("none/r.html") + "': No such file or directory\n"},
      {{"capdump", "--report", "/dev/full", capture},
       Stdout::kCaptured,
       1,
       "capdump: cannot write '/dev/full': No space left on device\n"},
      {{"capdump", "--format=csv", "--split", dir.path("none/out"), capture},
       Stdout::kCaptured,
       1,
       "capdump: cannot create directory '" + dir.path("none/out") +
           "': No such file or directory\n"},
      {{"capdump", "--format=csv", "--split", capture, capture},
       Stdout::kCaptured,
       1,
       "capdump: cannot create directory '" + capture + "': Not a directory\n"},
      {{"capdump", "--format=csv", "--split", dir.path(""), dir.path("type-1.csv")},
       Stdout::kCaptured,
       1,
       "capdump: '" + dir.path("type-1.csv") +
           "' is the capture being read; --split does not replace it\n"},
      {{"capdump", "--format=csv", "--split", dir.path("full"), capture},
       Stdout::kCaptured,
       1,
       "capdump: cannot write '" + dir.path("full/type-1.csv") + "': No space left on device\n"},
      {{"capdump", "--help"},
       Stdout::kDevFull,
       1,
       "capdump: cannot write standard output: No space left on device\n"},
      {{"capdump", "--format=raw", capture},
       Stdout::kTerminal,
       2,
       "capdump: --format raw writes packet bytes; send standard output to a file or a pipe\n" +
           kTryHelp},
  };
  expect_failures(kCapdump, rows);
  EXPECT_EQ(slurp(dir.path("type-1.csv")), as_text(make_packet(1, counting_payload(8))));
}

// No output of capdump lands on the capture it reads, and a page replaces an earlier one only
// whole: a run cut short by a full disk leaves the earlier page and no temporary file.
TEST(CapdumpCli, NoOutputWritesOverTheCaptureAndAPageAppearsWhole) {
  TempDir dir;
  const std::string bytes = as_text(make_packet(1, counting_payload(8)));
  const std::string capture = dir.write("one.cap", bytes);
  const std::string page = dir.write("page.html", "earlier page");
  ASSERT_EQ(symlink("one.cap", dir.path("link").c_str()), 0);
  struct Row {
    const char *name;
    std::string script;  // run by sh with $0 capdump, $1 the capture, $2 the page
    std::string err;
  };
  const std::string kItIsTheInput = "': it is the input\n";
  const Row rows[] = {
      {"report over the capture", R"(exec "$0" --report "$1" "$1")",
       "capdump: cannot write '" + capture + kItIsTheInput},
      {"report over a link to it", R"(exec "$0" --report "${1%/*}/link" "$1")",
       "capdump: cannot write '" + dir.path("link") + kItIsTheInput},
      {"raw packets appended to it", R"(exec "$0" --format=raw "$1" >>"$1")",
       "capdump: cannot write standard output: it is the input\n"},
      {"listing written into it", R"(exec "$0" "$1" 1<>"$1")",
       "capdump: cannot write standard output: it is the input\n"},
      {"page on a full disk", R"(trap '' XFSZ; ulimit -f 1; exec "$0" --report "$2" "$1")",
       "capdump: cannot write '" + page + "': File too large\n"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    const ProgramRun run =
        run_program("/bin/sh", {"sh", "-c", row.script, kCapdump, capture, page});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, row.err);
    EXPECT_EQ(slurp(capture), bytes);
    EXPECT_EQ(slurp(page), "earlier page");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path("")), {}), 3);
  }
  // A link to a file not there yet is followed: the page is written where it points.
  ASSERT_EQ(symlink("new.html", dir.path("dangling").c_str()), 0);
  EXPECT_EQ(run_program(kCapdump, {"capdump", "--report", dir.path("dangling"), capture}).status,
            0);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path("dangling")));
  EXPECT_NE(slurp(dir.path("new.html")).find("<html"), std::string::npos);
}

// A closed standard input is a read that fails, whatever files the program opens meanwhile.
TEST(CapdumpCli, AClosedStandardInputIsAReadError) {
  TempDir dir;
  const std::string out = dir.write("out.cap", "kept");
  const std::pair<std::string, std::string> rows[] = {
      {kCapdump + " -", "capdump: error reading standard input: Bad file descriptor\n"},
      {kCapgen + " --from-jsonl - " + out,
       "capgen: cannot read standard input: Bad file descriptor\n"},
  };
  for (const auto &[command, err] : rows) {
    const ProgramRun run =
        run_program("/bin/sh", {"sh", "-c", "exec timeout 10 " + command + " <&-"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, err);
    EXPECT_EQ(slurp(out), "kept");
  }
}

// Following a file that does not grow, capdump ends once its output's reader has gone, as its
// next write would have ended it.
TEST(CapdumpCli, FollowEndsWhenTheOutputIsGoneWhileIdle) {
  TempDir dir;
  const std::string capture = dir.write("one.cap", as_text(make_packet(1, counting_payload(8))));
  const ProgramRun run = run_program(
      "/bin/sh", {"sh", "-c", R"((timeout 20 "$0" -f "$1"; echo "status $?" >&2) | head -1)",
                  kCapdump, capture});
  EXPECT_EQ(run.out, kOneLine);
  EXPECT_EQ(run.err, "status 141\n");
}

TEST(CapdumpCli, ReadsAFileOrStandardInputAndPrintsHelpAndVersion) {
  TempDir dir;
  const std::string bytes = as_text(make_packet(1, counting_payload(8)));
  const ProgramRun from_file = run_program(kCapdump, {"capdump", dir.write("one.cap", bytes)});
  const ProgramRun from_stdin = run_program(kCapdump, {"capdump", "-"}, Stdout::kCaptured, bytes);
  for (const ProgramRun &run : {from_file, from_stdin}) {
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, kOneLine);
    EXPECT_EQ(run.err, "");
  }
  EXPECT_EQ(run_program(kCapdump, {"capdump", "--help"}).out, capdump::help_text());
  EXPECT_EQ(run_program(kCapdump, {"capdump", "--version"}).out, "capdump " CAPDUMP_VERSION "\n");
}

// The page of a file or of standard input carries the --stats summary of the same bytes.
TEST(CapdumpCli, ReportPageCarriesTheStatsOfTheSameCapture) {
  TempDir dir;
  const std::string capture = dir.path("damaged.cap");
  ASSERT_EQ(run_program(kCapgen, {"capgen", "--size", "256k", "--damage", "all", "--damage-rate",
                                  "0.05", capture})
                .status,
            0);
  const ProgramRun stats =
      run_program(kCapdump, {"capdump", "--stats", "--format", "jsonl", "--recover", capture});
  ASSERT_EQ(stats.status, 0);
  const std::string from_file = dir.path("file.html");
  const std::string from_stdin = dir.path("stdin.html");
  const ProgramRun runs[] = {
      run_program(kCapdump, {"capdump", "--report", from_file, "--recover", capture}),
      run_program(kCapdump, {"capdump", "--recover", "--report", from_stdin, "-"},
                  Stdout::kCaptured, slurp(capture)),
  };
  for (const ProgramRun &run : runs) {
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out + run.err, "");
  }
  const std::string embedded =
      R"(<script type="application/json" id="capdump-stats">)" + stats.out + "</script>";
  EXPECT_NE(slurp(from_file).find(embedded), std::string::npos);
  EXPECT_NE(slurp(from_stdin).find(embedded), std::string::npos);
  // A name that is not UTF-8 is shown escaped, and the page stays UTF-8.
  const std::string odd = dir.write("odd\xff.cap", slurp(capture));
  ASSERT_EQ(run_program(kCapdump, {"capdump", "--report", from_file, odd}).status, 0);
  EXPECT_NE(slurp(from_file).find("<title>'" + dir.path("odd\\xff.cap'")), std::string::npos);
  EXPECT_EQ(slurp(from_file).find('\xff'), std::string::npos);
}

TEST(CapdumpCli, ListsOnlyTheChosenTypesButEveryRejectedPacket) {
  TempDir dir;
  Bytes bad_b = make_packet(9, {});
  bad_b[5] ^= 1;
  const Bytes capture =
      concat({make_packet(3, {}), make_packet(1, counting_payload(8)), bad_b, make_packet(5, {})});
  const ProgramRun run = run_program(
      kCapdump, {"capdump", "--type", "1,5", "--errors", dir.write("in.cap", as_text(capture))});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, R"({"offset":6,"type":1,"length":8,"lead":66051,"uword":1029,"word":1543})"
                     "\n"
                     R"({"offset":20,"error":"checksum_b","type":9,"length":0})"
                     "\n"
                     R"({"offset":26,"type":5,"length":0,"form":"unknown","payload":""})"
                     "\n");
}

// Each line of a listing up to its "type" or "error" key: its offset and time.
std::vector<std::string> offsets_and_times(const std::string &listing) {
  std::vector<std::string> starts;
  for (std::size_t at = 0; at < listing.size(); at = listing.find('\n', at) + 1) {
    starts.push_back(listing.substr(at, listing.find(",\"", listing.find("\"time\"", at)) - at));
  }
  return starts;
}

TEST(CapdumpCli, ClockTimesEveryLineAndSelectsARange) {
  const auto type10 = [](uint32_t lead, std::size_t length = 39) {
    Bytes payload(length, 0);
    for (std::size_t i = 0; i < 4 && i < length; ++i) {
      payload[i] = static_cast<uint8_t>(lead >> (24 - 8 * i));
    }
    return make_packet(10, payload);
  };
  Bytes bad_a = make_packet(2, counting_payload(3));
  bad_a[7] ^= 1;
  // 0: no time yet; 14: the clock at 1 s; 59: rejected; 68: short, so the clock stays; 77: 1.5 s.
  const Bytes capture = concat(
      {make_packet(1, counting_payload(8)), type10(1000), bad_a, type10(5000, 3), type10(1500)});
  TempDir dir;
  const std::string path = dir.write("in.cap", as_text(capture));
  const auto run = [&path](std::vector<std::string> options) {
    options.insert(options.begin(), {"capdump", "--clock", "10.lead:ms", "--errors"});
    options.push_back(path);
    const ProgramRun ran = run_program(kCapdump, options);
    EXPECT_EQ(ran.status, 0) << ran.err;
    return offsets_and_times(ran.out);
  };
  EXPECT_EQ(run({}),
            (std::vector<std::string>{R"({"offset":0,"time":null)", R"({"offset":14,"time":1.0)",
                                      R"({"offset":59,"time":1.0)", R"({"offset":68,"time":1.0)",
                                      R"({"offset":77,"time":1.5)"}));
  EXPECT_EQ(run({"--from", "1.5"}), std::vector<std::string>{R"({"offset":77,"time":1.5)"});
  EXPECT_EQ(run({"--to", "1.5", "--type", "10"}),
            (std::vector<std::string>{R"({"offset":14,"time":1.0)", R"({"offset":59,"time":1.0)",
                                      R"({"offset":68,"time":1.0)"}));
  EXPECT_EQ(run({"--exact-only", "--type", "10"}),
            (std::vector<std::string>{R"({"offset":14,"time":1.0)", R"({"offset":59,"time":1.0)",
                                      R"({"offset":77,"time":1.5)"}));
}

TEST(CapdumpCli, CapgenTurnsTheListingBackIntoTheSameBytes) {
  TempDir dir;
  Bytes capture;
  std::vector<uint8_t> types(protolib::kCatalogueTypes.begin(), protolib::kCatalogueTypes.end());
  types.insert(types.end(), {0, 99});  // and two outside the catalogue
  for (const uint8_t type_byte : types) {
    capture = concat(
        {capture, make_packet(type_byte, counting_payload(255)), make_packet(type_byte, {})});
  }
  const std::string path = dir.write("in.cap", as_text(capture));
  // With a clock, lines carry "time" too, which capgen passes over as it does "form".
  const std::vector<std::vector<std::string>> listings = {{"capdump", path},
                                                          {"capdump", "--clock=10.lead", path}};
  for (const std::vector<std::string> &argv : listings) {
    SCOPED_TRACE(argv[1]);
    const ProgramRun listing = run_program(kCapdump, argv);
    ASSERT_EQ(listing.status, 0);
    const ProgramRun back = run_program(
        kCapgen,
        {"capgen", "--from-jsonl", dir.write("in.jsonl", listing.out), dir.path("out.cap")});
    EXPECT_EQ(back.status, 0);
    EXPECT_EQ(back.err, "");
    EXPECT_EQ(slurp(dir.path("out.cap")), as_text(capture));
  }
}

// The names of the files in dir, sorted.
std::vector<std::string> file_names(const std::string &dir) {
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CapdumpCli, SplitWritesEachTypesCsvAsTypeWouldInOnePass) {
  const auto type10 = [](uint32_t lead) {
    Bytes payload(39, 0);
    for (std::size_t i = 0; i < 4; ++i) payload[i] = static_cast<uint8_t>(lead >> (24 - 8 * i));
    return make_packet(10, payload);
  };
  Bytes bad_a = make_packet(21, counting_payload(6));
  bad_a[7] ^= 1;
  // Types 1, 10 and 21 (one short), a rejected packet, and type 5, outside the catalogue.
  const Bytes capture = concat({make_packet(1, counting_payload(8)), type10(1000), bad_a,
                                make_packet(5, {}), make_packet(21, counting_payload(3)),
                                type10(2000), make_packet(1, counting_payload(8))});
  TempDir dir;
  const std::string path = dir.write("in.cap", as_text(capture));
  struct Case {
    std::vector<std::string> options;
    std::vector<std::string> files;
  };
  const Case cases[] = {
      {{}, {"type-1.csv", "type-10.csv", "type-21.csv"}},
      {{"--recover", "--clock=10.lead:ms", "--from=1.5"}, {"type-1.csv", "type-10.csv"}},
      {{"--type=10,21,22", "--exact-only"}, {"type-10.csv"}},
  };
  for (const Case &row : cases) {
    SCOPED_TRACE(row.options.empty() ? "every type" : row.options.front());
    const std::string out = dir.path("out" + std::to_string(&row - cases));
    std::vector<std::string> argv = {"capdump", "--format=csv", "--split", out};
    argv.insert(argv.end(), row.options.begin(), row.options.end());
    argv.push_back(path);
    const ProgramRun split = run_program(kCapdump, argv);
    EXPECT_EQ(split.status, 0) << split.err;
    EXPECT_EQ(split.out, "");
    ASSERT_EQ(file_names(out), row.files);
    for (const std::string &name : row.files) {
      std::vector<std::string> one = {"capdump", "--format=csv"};
      one.insert(one.end(), row.options.begin(), row.options.end());
      one.insert(one.end(), {"--type", name.substr(5, name.size() - 9), path});
      const ProgramRun alone = run_program(kCapdump, one);
      EXPECT_EQ(alone.status, 0) << name;
      EXPECT_EQ(slurp(out + "/" + name), alone.out) << name;
    }
  }
}

}  // namespace

TEST(CapdumpCli, RawFormatWritesTheChosenPacketsAsACapture) {
  const Bytes a = make_packet(3, {});
  const Bytes c = make_packet(1, counting_payload(8));
  const Bytes d = make_packet(10, counting_payload(27));
  // A packet whose checksums fail and whose length covers c, which only --recover finds.
  Bytes swallowing = {0x81, 0xA1, 7, 20};
  swallowing.insert(swallowing.end(), c.begin(), c.end());
  swallowing.insert(swallowing.end(), 20 - c.size() + 2, 0xEE);
  const Bytes damaged = concat({a, {0x00, 0x81, 0x13}, swallowing, d, {0x81, 0xA1, 1, 8, 0}});
  struct Case {
    std::vector<std::string> options;
    Bytes out;
  };
  const Case cases[] = {
      {{"--format=raw"}, concat({a, d})},
      {{"--format=raw", "--recover"}, concat({a, c, d})},
      {{"--format=raw", "--recover", "--type=1,3"}, concat({a, c})},
      {{"--format=raw", "--type=10"}, d},
      {{"--format=raw", "--recover", "--exact-only"}, c},  // a and d are short
  };
  TempDir dir;
  const std::string path = dir.write("in.cap", as_text(damaged));
  for (const Case &row : cases) {
    SCOPED_TRACE(row.options.back());
    std::vector<std::string> argv = {"capdump"};
    argv.insert(argv.end(), row.options.begin(), row.options.end());
    argv.push_back(path);
    const ProgramRun run = run_program(kCapdump, argv);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, as_text(row.out));
  }
}
