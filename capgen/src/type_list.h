// The catalogue's types as text, for the help and for messages about types.
#ifndef CAPGEN_SRC_TYPE_LIST_H
#define CAPGEN_SRC_TYPE_LIST_H

#include <string>
#include <string_view>

namespace capgen {

// Every catalogue type in ascending order, separated by ", ": "1, 2, 3, ...".
std::string catalogue_type_list();

// help with the mark {types} replaced by catalogue_type_list(), the line holding it wrapped at
// spaces to lines of at most 88 columns, continued at column 21 where option descriptions start.
std::string with_type_list(std::string_view help);

}  // namespace capgen

#endif  // CAPGEN_SRC_TYPE_LIST_H
