// The packet types the decoder knows, and sets of packet types.
#ifndef CAPGEN_SRC_CATALOGUE_H
#define CAPGEN_SRC_CATALOGUE_H

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>

namespace capgen {

// Every type with a record in the decoder, in ascending order.
inline constexpr std::array<uint8_t, 14> kCatalogueTypes = {1,  2,  3,  9,  10, 12, 15,
                                                            20, 21, 22, 23, 25, 26, 27};

// True when type has a record in the decoder.
constexpr bool in_catalogue(unsigned type) {
  return std::find(kCatalogueTypes.begin(), kCatalogueTypes.end(), type) != kCatalogueTypes.end();
}

// A set of packet types, indexed by type byte.
using TypeSet = std::bitset<256>;

// The set holding every catalogue type.
inline TypeSet whole_catalogue() {
  TypeSet all;
  for (uint8_t type : kCatalogueTypes) all.set(type);
  return all;
}

}  // namespace capgen

#endif  // CAPGEN_SRC_CATALOGUE_H
