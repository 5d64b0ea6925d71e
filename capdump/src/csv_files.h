// csv_files.h - capdump --split: the packets of each catalogue type as a CSV file of its own,
// DIR/type-N.csv, each byte for byte what --format csv --type N writes, all from one pass.
#ifndef CAPDUMP_SRC_CSV_FILES_H
#define CAPDUMP_SRC_CSV_FILES_H

#include <sys/stat.h>

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "capture_pass/dump_pass.h"
#include "capture_pass/packet_clock.h"

namespace capdump {

class CsvFiles final : public capture_pass::EventSink {
 public:
  // dir: an existing directory. types: the types to write; other types and those outside the
  // catalogue are skipped. recovered_column and clock: as for CsvSink. input: the capture's
  // file status, so that no file written replaces the capture.
  CsvFiles(std::string dir, const std::bitset<256> &types, bool recovered_column,
           const capture_pass::PacketClock *clock, const struct stat &input);
  CsvFiles(const CsvFiles &) = delete;
  CsvFiles &operator=(const CsvFiles &) = delete;
  ~CsvFiles() override;

  // Writes a row to the file of the packet's type, creating it (or replacing one there) with
  // its header row at the first packet of the type.
  void packet(const capture_pass::FrameEvent &event, const uint8_t *packet,
              bool recovered) override;
  void rejected(const capture_pass::FrameEvent &, const uint8_t *) override {}
  void unfinished(uint64_t, const uint8_t *, std::size_t) override {}
  // True once a file could not be created or written.
  bool failed() const override { return failed_; }

  // Writes out what each file holds buffered, for a pass that waits for more input.
  void flush();
  // Writes out and closes every file. Returns the exit status, with a message for the first
  // file that could not be created or written.
  int finish();

 private:
  struct File;

  // The file for type, created now; null after a message when that fails.
  std::unique_ptr<File> create(uint8_t type);

  std::string dir_;
  std::bitset<256> types_;
  bool recovered_column_;
  const capture_pass::PacketClock *clock_;
  struct stat input_;
  std::array<std::unique_ptr<File>, 256> files_;
  bool failed_ = false;
  int status_ = 0;  // the exit status after a file could not be created
};

}  // namespace capdump

#endif  // CAPDUMP_SRC_CSV_FILES_H
