// platform.h - the few operating-system services the listing programs need, by the names they
// use: the file-name part of a path and the path of the running executable.
#ifndef PLATFORM_PLATFORM_H
#define PLATFORM_PLATFORM_H

#include <string>

namespace platform {

// The part of path after its last '/', or path itself when it has none. Returns "" for null.
// The result points into path.
const char *ExtractFileName(const char *path);

// The full path of the running executable as the operating system reports it, or fallback
// (null counts as "") when it cannot be had.
std::string executable_path(const char *fallback);

}  // namespace platform

#endif  // PLATFORM_PLATFORM_H
