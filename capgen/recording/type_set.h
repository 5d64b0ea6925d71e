// Sets of packet types, such as the catalogue types a recording holds.
#ifndef CAPGEN_SRC_TYPE_SET_H
#define CAPGEN_SRC_TYPE_SET_H

#include <protolib/catalogue.hpp>

#include <bitset>
#include <cstdint>

namespace capgen {

// A set of packet types, indexed by type byte.
using TypeSet = std::bitset<256>;

// The set holding every catalogue type.
inline TypeSet whole_catalogue() {
  TypeSet all;
  for (uint8_t type : protolib::kCatalogueTypes) all.set(type);
  return all;
}

}  // namespace capgen

#endif  // CAPGEN_SRC_TYPE_SET_H
