# The Debian packages of an installation, one per install component, made by cpack -G DEB in the
# build folder: protolib-tools (the programs, their man pages and completions), libprotolib-dev
# (the library, headers, CMake package and pkg-config file) and, when the Python package is
# built, python3-protolib. Each carries its copyright file and changelog.
include_guard(GLOBAL)

set(CPACK_PACKAGE_NAME protolib)
# Each package's own description below starts with its summary line. CPack would put this one
# before it unless it is CPack's own default text, so it is set to exactly that.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
set(CPACK_PACKAGE_CONTACT
    "protolib maintainers <maintainers@users.noreply.c-seed-fb27f0b1.example>")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_STRIP_FILES ON)
# The programs' and the extension's library dependencies as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_COMPONENTS_ALL tools dev)
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME protolib-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_TOOLS_PACKAGE_RECOMMENDS bash-completion)
set(CPACK_DEBIAN_TOOLS_DESCRIPTION
    "console tools for captures of a binary packet stream
capgen makes captures; capdump lists them as JSON Lines or CSV, sums
them up or writes a report page; dumpten and dumptwo list their type-10
and type-2 packets.")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libprotolib-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_DESCRIPTION
    "protocol library for captures of a binary packet stream (static)
The ring, framer, decoder and writer of the packet stream with their C
headers (C11), the catalogue's C++ headers (C++20), a CMake package and
a pkg-config file.")

if(TARGET _protolib)  # the Python package is built (not under the sanitizers)
  list(APPEND CPACK_COMPONENTS_ALL python)
  set(python ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR})
  math(EXPR next_minor "${Python3_VERSION_MINOR} + 1")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-protolib)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
      "python3 (>= ${python}), python3 (<< ${Python3_VERSION_MAJOR}.${next_minor}), python3-numpy")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SUGGESTS "python3-pandas, python3-dask")
  set(CPACK_DEBIAN_PYTHON_DESCRIPTION
      "captures of a binary packet stream as NumPy arrays and pandas frames
The Python package protolib reads captures into NumPy structured arrays,
pandas and Dask frames, or packet by packet, and encodes packets from
their fields.")
endif()

# Each package's copyright file and changelog, gzipped without name or time.
set(changelog ${PROJECT_BINARY_DIR}/packaging/changelog.Debian.gz)
add_custom_command(OUTPUT ${changelog}
                   COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/debian/changelog > ${changelog}
                   DEPENDS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${changelog})
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  string(TOUPPER ${component} upper)
  set(doc ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/copyright ${changelog} DESTINATION ${doc}
          COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()

include(CPack)
