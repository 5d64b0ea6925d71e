// dumptwo_line.h - the record line dumptwo prints for each type-2 packet.
#ifndef DUMPTWO_DUMPTWO_LINE_H
#define DUMPTWO_DUMPTWO_LINE_H

#include <protolib/decoder.h>

#include <cstdio>

// Prints the 24 numbers of the line (this type 2, the newest type 20 with its fresh flag) and the
// newline, then clears the fresh flag of type 20.
void print_dumptwo_line(PacketDecoder &decoder, FILE *out);

#endif  // DUMPTWO_DUMPTWO_LINE_H
