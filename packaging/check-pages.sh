#!/usr/bin/env bash
# Checks what the programs say of themselves against what is installed with them: each prints
# "NAME VERSION" for --version; every option of its --help (--version alone for a program without
# --help) has an entry in its man page and, for capgen and capdump, is in the bash completion,
# which offers the catalogue types that capgen's --help lists. The pages and the completion are
# those the build writes for installing, in man/ and completions/ of BUILD_DIR.
# Usage: check-pages.sh VERSION BUILD_DIR PROGRAM...
set -euo pipefail
version=$1
build_dir=$2
shift 2
completion=$build_dir/completions/capture-tools.bash
failures=0
fail() {
  echo "$*" >&2
  failures=$((failures + 1))
}

# What the completion offers for the command line WORD... whose last word is being completed.
complete_words() {
  # shellcheck source=/dev/null
  source "$completion"
  # shellcheck disable=SC2317  # called by the completion
  compopt() { :; }
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  _capture_tools "$1"
  echo "${COMPREPLY[*]}"
}

listed='' # the types capgen's --help lists
for program in "$@"; do
  name=$(basename "$program")
  page=$build_dir/man/$name.1
  printed=$("$program" --version)
  [[ $printed == "$name $version" ]] || fail "$name --version printed '$printed'"
  if help=$("$program" --help 2>/dev/null); then
    options=$(grep -oE '^  (-[a-z], )?--[a-z-]+' <<<"$help" | grep -oE -- '--[a-z-]+$')
  else
    options=--version
  fi
  page_text=$(sed 's/\\-/-/g' "$page")
  for option in $options; do
    # An entry: a line ".B --option", ".BI --option ARG" or ".BR -o ", " --option" (the page
    # writes - as \-).
    grep -qE "^\.B[IR]? (-[a-z] \", \" )?$option( |$)" <<<"$page_text" ||
      fail "$name: $option has no entry in man/$name.1"
    if [[ $name == capgen || $name == capdump ]]; then
      [[ " $(complete_words "$name" "${option:0:-1}") " == *" $option "* ]] ||
        fail "$name: the completion does not offer $option"
    fi
  done
  if [[ $name == capgen ]]; then
    listed=$(tr -s ' \n' ' ' <<<"$help" | grep -oE 'default all: [0-9, ]+' | grep -oE '[0-9]+' |
      paste -sd ' ')
    offered=$(complete_words capgen --types '')
    [[ $offered == "$listed" ]] ||
      fail "the completion offers the types '$offered', capgen lists '$listed'"
  fi
done

# A list's last item completes after the items before it: capdump --type 10,2 offers "10,"
# followed by each type capgen lists that begins with 2.
[[ -n $listed ]] || fail "capgen's --help listed no catalogue types"
expected=()
for type in $listed; do
  if [[ $type == 2* ]]; then expected+=("10,$type"); fi
done
offered=$(complete_words capdump --type 10,2)
[[ $offered == "${expected[*]}" ]] ||
  fail "capdump --type 10,2 completes as '$offered', not '${expected[*]}'"

((failures == 0)) || exit 1
echo "$# programs: versions, man pages and completions agree"
