// record_pieces.h - pieces of the record lines that both listing programs print the same way.
#ifndef LISTING_RECORD_PIECES_H
#define LISTING_RECORD_PIECES_H

#include <protolib/decoder.h>

#include <cstdio>

// Prints "%lu %hd %hd %hd %hd %hd %hd %hd %hd %hd %d": lead, the nine words and tail of a
// type-2 or type-10 record.
template <typename Record>
void print_lead_words_tail(const Record &r, FILE *out) {
  std::fprintf(out, "%lu %hd %hd %hd %hd %hd %hd %hd %hd %hd %d",
               static_cast<unsigned long>(r.lead), r.words[0], r.words[1], r.words[2], r.words[3],
               r.words[4], r.words[5], r.words[6], r.words[7], r.words[8], r.tail);
}

// Prints " %d %lu %hu %hu %ld %ld %ld %ld %ld %ld %hu %hu %hu": the type-20 record with its fresh
// flag.
void print_type20_piece(const Type20Record &r, FILE *out);

#endif  // LISTING_RECORD_PIECES_H
