#!/usr/bin/env bash
# Installs a built tree into a temporary prefix, or with --deb makes its Debian package (cpack)
# and unpacks that, then checks what is installed and builds and runs the consumer in this folder
# against that prefix alone, twice: as the CMake project here (find_package) and as a plain C
# program compiled with the flags pkg-config gives.
# Usage: install_and_consume.sh [--deb] BUILD_DIR
set -euo pipefail
deb=false
if [[ ${1-} == --deb ]]; then
  deb=true
  shift
fi
build_dir=$(realpath "${1:?usage: install_and_consume.sh [--deb] BUILD_DIR}")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if $deb; then
  (cd "$build_dir" && cpack -G DEB -B "$work/package" >/dev/null)
  package=$(echo "$work"/package/*.deb)
  echo "$(basename "$package"):"
  dpkg-deb -c "$package"
  dpkg-deb -x "$package" "$work/root"
  prefix=$work/root/usr
else
  cmake --install "$build_dir" --prefix "$work/prefix"
  prefix=$work/prefix
fi

programs=(capgen capdump dumpten dumptwo)
expected=(lib/libprotolib.a include/protolib/ring.h include/protolib/framer.h
          include/protolib/decoder.h include/protolib/packet_types.def include/protolib/writer.h
          lib/pkgconfig/protolib.pc
          lib/cmake/protolib/protolibConfig.cmake lib/cmake/protolib/protolibConfigVersion.cmake
          share/bash-completion/completions/capgen share/bash-completion/completions/capdump)
for program in "${programs[@]}"; do
  expected+=("bin/$program" "share/man/man1/$program.1")
done
for file in "${expected[@]}"; do
  [[ -e "$prefix/$file" ]] || { echo "not installed: $file" >&2; exit 1; }
done
for program in "${programs[@]}"; do
  "$prefix/bin/$program" --version
  warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$program.1" 2>&1 >/dev/null)
  [[ -z $warnings ]] || { echo "man $program: $warnings" >&2; exit 1; }
done

# The Python package, when the tree built it: installed where Debian's Python looks, and working.
if [[ -d $build_dir/python/protolib ]]; then
  PYTHONPATH=$prefix/lib/python3/dist-packages /usr/bin/python3 -c '
import protolib
capture = protolib.read(protolib.encode(1, {"lead": 1, "uword": 2, "word": -3}))
assert capture.types == [1] and capture[1]["word"][0] == -3, capture
print("python package:", protolib.__file__)'
fi

cmake -S "$here" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix"
cmake --build "$work/build"
"$work/build/consumer"

export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
echo "pkg-config --cflags --libs protolib: $(pkg-config --cflags --libs protolib)"
# shellcheck disable=SC2046  # the flags are separate words
cc -std=c11 -Wall -Wextra -Werror -o "$work/pkg-config-consumer" "$here/main.c" \
  $(pkg-config --cflags --libs protolib)
"$work/pkg-config-consumer"
