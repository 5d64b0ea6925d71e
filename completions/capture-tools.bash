# bash completion for capgen and capdump: their options, the packet types, damage kinds and
# formats that options take, and file names. Installed under each program's name, where
# bash-completion looks for it; or source it from ~/.bashrc.

# The packet types of the catalogue.
_capture_tools_types='1 2 3 9 10 12 15 20 21 22 23 25 26 27'

# Completes the current word of a capgen or capdump command line ($1: the program).
_capture_tools() {
  COMPREPLY=()
  local cur=${COMP_WORDS[COMP_CWORD]} option=${COMP_WORDS[COMP_CWORD - 1]}
  # --name=value: bash splits the word at '='.
  if [[ $cur == = ]]; then
    cur=
  elif [[ $option == = ]] && ((COMP_CWORD >= 2)); then
    option=${COMP_WORDS[COMP_CWORD - 2]}
  fi

  local options list='' words=''
  case ${1##*/} in
    capgen)
      options='--size --packets --seed --types --damage --damage-rate --random-bytes --verbose
               --from-jsonl'
      case $option in
        --types) list=$_capture_tools_types ;;
        --damage)
          list='all noise stray-sync bad-a bad-b short long over-count unknown-type type0 truncate'
          ;;
        --size | --packets | --seed | --damage-rate) return ;;
      esac
      ;;
    capdump)
      options='--format --split --type --errors --recover --stats --report --exact-only --clock
               --from --to --gap --follow'
      case $option in
        --type) list=$_capture_tools_types ;;
        --split)
          compopt -o filenames
          mapfile -t COMPREPLY < <(compgen -d -- "$cur")
          return
          ;;
        --format) words='jsonl csv raw' ;;
        --clock) words='10.lead:ms 10.lead:us 10.lead:s' ;;
        --from | --to | --gap) return ;;
      esac
      ;;
  esac

  if [[ -n $list ]]; then
    # A comma-separated list: complete its last item, keeping those before it.
    local before=''
    [[ $cur == *,* ]] && before=${cur%,*},
    compopt -o nospace
    mapfile -t COMPREPLY < <(compgen -P "$before" -W "$list" -- "${cur##*,}")
  elif [[ -n $words ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
  elif [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$options --help --version" -- "$cur")
  else
    compopt -o filenames
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
  fi
}
complete -F _capture_tools capgen capdump
