#!/usr/bin/env bash
# Installs a built tree into a temporary prefix, then configures, builds and runs the consumer
# project in this folder against that prefix alone. Usage: install_and_consume.sh BUILD_DIR
set -euo pipefail
build_dir=$(realpath "${1:?usage: install_and_consume.sh BUILD_DIR}")
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build_dir" --prefix "$work/prefix"
for file in lib/libprotolib.a include/protolib/ring.h include/protolib/framer.h \
            include/protolib/decoder.h include/protolib/writer.h bin/capgen \
            lib/cmake/protolib/protolibConfig.cmake lib/cmake/protolib/protolibConfigVersion.cmake; do
  [[ -e "$work/prefix/$file" ]] || { echo "not installed: $file" >&2; exit 1; }
done
"$work/prefix/bin/capgen" --version

cmake -S "$here" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix"
cmake --build "$work/build"
"$work/build/consumer"
