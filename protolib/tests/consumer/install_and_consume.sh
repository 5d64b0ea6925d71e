#!/usr/bin/env bash
# Installs a built tree into a temporary prefix, or with --deb makes its Debian packages (cpack),
# checks each with lintian (no errors) and unpacks them, then checks what is installed and builds
# and runs the consumer in this folder against that prefix alone, twice: as the CMake project
# here (find_package) and as a plain C program compiled with the flags pkg-config gives.
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
  for package in "$work"/package/*.deb; do
    echo "== $(basename "$package")"
    dpkg-deb -I "$package"
    dpkg-deb -c "$package"
    echo "lintian:"
    lintian --fail-on error --tag-display-limit 0 "$package"
    dpkg-deb -x "$package" "$work/root"
  done
  prefix=$work/root/usr
else
  cmake --install "$build_dir" --prefix "$work/prefix"
  prefix=$work/prefix
fi

programs=(capgen capdump dumpten dumptwo)
# The library's folder: lib, or lib/<multiarch triplet> under /usr.
libdir=$(dirname "$(find "$prefix/lib" -name libprotolib.a)")
libdir=${libdir#"$prefix/"}
expected=("$libdir/libprotolib.a" include/protolib/ring.h include/protolib/framer.h
          include/protolib/decoder.h include/protolib/packet_types.def include/protolib/writer.h
          "$libdir/pkgconfig/protolib.pc"
          "$libdir/cmake/protolib/protolibConfig.cmake"
          "$libdir/cmake/protolib/protolibConfigVersion.cmake"
          share/bash-completion/completions/capgen share/bash-completion/completions/capdump)
for program in "${programs[@]}"; do
  expected+=("bin/$program" "share/man/man1/$program.1.gz")
done
for file in "${expected[@]}"; do
  [[ -e "$prefix/$file" ]] || { echo "not installed: $file" >&2; exit 1; }
done
for program in "${programs[@]}"; do
  "$prefix/bin/$program" --version
  warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$program.1.gz" 2>&1 >/dev/null)
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

export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
# The packages' file names /usr as its prefix: here /usr is where they were unpacked.
if $deb; then
  grep -qx 'prefix=/usr' "$PKG_CONFIG_PATH/protolib.pc"
  export PKG_CONFIG_SYSROOT_DIR=$work/root
fi
flags=$(pkg-config --cflags --libs protolib)
echo "pkg-config --cflags --libs protolib: $flags"
# shellcheck disable=SC2086  # the flags are separate words
cc -std=c11 -Wall -Wextra -Werror -o "$work/pkg-config-consumer" "$here/main.c" $flags
"$work/pkg-config-consumer"
