# The catalogue's packet type numbers, read from protolib/include/protolib/packet_types.def, for
# whatever lists them outside the code (the man page, the bash completion): a type declared there
# reaches them at the next configure step, which a change to the file sets off.
include_guard(GLOBAL)

set(CATALOGUE_TYPES_FILE
    "${CMAKE_CURRENT_LIST_DIR}/../protolib/include/protolib/packet_types.def")
cmake_path(NORMAL_PATH CATALOGUE_TYPES_FILE)

# catalogue_types(<var>): sets <var> to the type numbers, one list item each, in the file's
# (ascending) order, one for each line that opens a block with PROTOLIB_PACKET(N, ...).
function(catalogue_types out)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CATALOGUE_TYPES_FILE}")
  file(STRINGS "${CATALOGUE_TYPES_FILE}" blocks REGEX "^PROTOLIB_PACKET\\([0-9]+,")
  set(types)
  foreach(block IN LISTS blocks)
    string(REGEX REPLACE "^PROTOLIB_PACKET\\(([0-9]+),.*" "\\1" type "${block}")
    list(APPEND types ${type})
  endforeach()
  if(NOT types)
    message(FATAL_ERROR "${CATALOGUE_TYPES_FILE} declares no PROTOLIB_PACKET block")
  endif()
  set(${out} ${types} PARENT_SCOPE)
endfunction()
