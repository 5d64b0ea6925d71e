#include "capdump/src/csv_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <protolib/catalogue.hpp>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "capdump/src/csv_table.h"
#include "capdump/src/file_output.h"
#include "capdump/src/options.h"
#include "cli/console.h"
#include "cli/exit_status.h"
#include "cli/values.h"

namespace capdump {

// One type's file: its descriptor, its buffered output and the CSV it holds.
struct CsvFiles::File {
  File(int file_fd, std::string file_path, uint8_t type, bool recovered_column,
       const capture_pass::PacketClock *clock)
      : fd(file_fd),
        path(std::move(file_path)),
        output(fd, false),
        csv(output.buffer(), type, recovered_column, clock) {}
  File(const File &) = delete;
  File &operator=(const File &) = delete;
  ~File() {
    if (fd >= 0) close(fd);
  }

  int fd;
  std::string path;
  FileOutput output;
  CsvSink csv;
};

CsvFiles::CsvFiles(std::string dir, const std::bitset<256> &types, bool recovered_column,
                   const capture_pass::PacketClock *clock, const struct stat &input)
    : dir_(std::move(dir)), recovered_column_(recovered_column), clock_(clock), input_(input) {
  if (dir_.empty() || dir_.back() != '/') dir_ += '/';
  for (const uint8_t type : protolib::kCatalogueTypes) types_[type] = types[type];
}

CsvFiles::~CsvFiles() = default;

void CsvFiles::packet(const capture_pass::FrameEvent &event, const uint8_t *packet,
                      bool recovered) {
  std::unique_ptr<File> &file = files_[packet[0]];
  if (!file) {
    if (!types_[packet[0]] || failed_) return;
    file = create(packet[0]);
    if (!file) return;
  }
  file->csv.packet(event, packet, recovered);
  if (file->csv.failed()) failed_ = true;
}

std::unique_ptr<CsvFiles::File> CsvFiles::create(uint8_t type) {
  std::string path = dir_ + "type-" + std::to_string(type) + ".csv";
  struct stat there {};
  if (stat(path.c_str(), &there) == 0 && there.st_dev == input_.st_dev &&
      there.st_ino == input_.st_ino) {
    std::fprintf(stderr, "capdump: %s is the capture being read; --split does not replace it\n",
                 cli::quoted(path).c_str());
    failed_ = true;
    status_ = cli::kFailed;
    return nullptr;
  }
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    failed_ = true;
    status_ = cli::report_write_error(kAbout.name, cli::quoted(path), errno);
    return nullptr;
  }
  return std::make_unique<File>(fd, std::move(path), type, recovered_column_, clock_);
}

void CsvFiles::flush() {
  for (const std::unique_ptr<File> &file : files_) {
    if (file) file->output.buffer().flush();
  }
}

int CsvFiles::finish() {
  int status = status_;
  for (const std::unique_ptr<File> &file : files_) {
    if (!file) continue;
    const std::string shown = cli::quoted(file->path);
    int file_status = file->output.finish(shown);
    const int closed = close(file->fd);
    file->fd = -1;
    if (closed != 0 && file_status == cli::kDone) {
      file_status = cli::report_write_error(kAbout.name, shown, errno);
    }
    if (file_status != cli::kDone) status = file_status;
  }
  return status;
}

}  // namespace capdump
