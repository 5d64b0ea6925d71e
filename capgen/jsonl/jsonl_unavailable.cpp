// capgen built without nlohmann-json: --from-jsonl is still an option, and says what it needs.
#include "capgen/jsonl/jsonl_reader.h"

namespace capgen {

std::string packets_from_jsonl(io::ByteSource &, std::string_view, std::string_view,
                               io::OutputBuffer &) {
  return "--from-jsonl needs nlohmann-json, which this capgen was built without (Debian package "
         "nlohmann-json3-dev)";
}

}  // namespace capgen
