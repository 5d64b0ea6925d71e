// The standard-error text of the listing programs: running line counts and the closing summary.
#ifndef TESTING_LISTING_TEXT_H
#define TESTING_LISTING_TEXT_H

#include <string>

// "N good packets\nM packet errors\r", printed once the input is processed.
inline std::string summary(unsigned long lines, unsigned long errors) {
  return std::to_string(lines) + " good packets\n" + std::to_string(errors) + " packet errors\r";
}

// "1\r2\r...N\r": the count written before each of N lines.
inline std::string progress(unsigned long lines) {
  std::string text;
  for (unsigned long i = 1; i <= lines; ++i) text += std::to_string(i) + "\r";
  return text;
}

#endif  // TESTING_LISTING_TEXT_H
