// standard_descriptors.h - standard input, output and error kept in their places when a program is
// started with any of them closed (`prog <&-`), so that no file it opens later lands on 0, 1 or 2
// and is taken for one of them.
#ifndef IO_STANDARD_DESCRIPTORS_H
#define IO_STANDARD_DESCRIPTORS_H

namespace io {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, the wrong way round (standard
// input for writing, the outputs for reading): reading or writing the closed stream still fails
// as it would have. Call first thing in main.
void occupy_closed_standard_descriptors();

}  // namespace io

#endif  // IO_STANDARD_DESCRIPTORS_H
