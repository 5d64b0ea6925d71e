// dumpten_line.h - the record line dumpten prints for each type-10 packet.
#ifndef DUMPTEN_DUMPTEN_LINE_H
#define DUMPTEN_DUMPTEN_LINE_H

#include <protolib/decoder.h>

#include <cstdio>

// Prints the 42 numbers of the line (newest type 1, this type 10, newest 12, 15, 20 with their
// fresh flags) and the newline, then clears the fresh flags of types 12, 15 and 20.
void print_dumpten_line(PacketDecoder &decoder, FILE *out);

#endif  // DUMPTEN_DUMPTEN_LINE_H
