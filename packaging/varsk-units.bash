# bash completion for varsk-units.
# The commands and their options are read from the program's own --help
# texts, so they always match the installed program. A value is completed by
# its placeholder in that text: <DIR> with folders, <a|b> with its choices,
# <FIELD> with the help's list of fields, <N> and <K> with nothing, any other
# with file names. A one-letter option ("-x <FIELD>") is offered as "--x".

# Prints the --help text of varsk-units (or of one command), once per shell.
_varsk_units_help() {
  local program=$1 command=$2
  local key="$program $command"
  if [[ -z ${_varsk_units_help_cache[$key]+set} ]]; then
    local -a args=()
    [[ -n $command ]] && args=("$command")
    _varsk_units_help_cache[$key]=$("$program" "${args[@]}" --help 2>/dev/null)
  fi
  printf '%s\n' "${_varsk_units_help_cache[$key]}"
}

_varsk_units() {
  declare -gA _varsk_units_help_cache 2>/dev/null || return
  local program=${COMP_WORDS[0]/#\~/$HOME}
  local cur=${COMP_WORDS[COMP_CWORD]}
  local prev=""
  ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
  # "--format=js": the shell splits at "=", the option is two words back.
  if [[ $cur == "=" ]]; then
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    cur=""
  elif [[ $prev == "=" ]] && ((COMP_CWORD > 1)); then
    prev=${COMP_WORDS[COMP_CWORD - 2]}
  fi

  local command="" i
  for ((i = 1; i < COMP_CWORD; i++)); do
    if [[ ${COMP_WORDS[i]} != -* ]]; then
      command=${COMP_WORDS[i]}
      break
    fi
  done

  COMPREPLY=()
  if [[ -z $command || $command == help ]]; then
    local words
    if [[ $cur == -* && -z $command ]]; then
      words="--help --version"
    else
      # Lines "  name  summary" between "Commands:" and the next heading.
      words=$(_varsk_units_help "$program" "" |
        sed -n '/^Commands:/,/^[^ ]/s/^  \([a-z][a-z-]*\) .*/\1/p')
      [[ -z $command ]] && words+=" help"
    fi
    mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
    return
  fi

  local help
  help=$(_varsk_units_help "$program" "$command")
  # The placeholder of the option just typed, when it takes a value.
  local placeholder=""
  if [[ $prev == -* ]]; then
    placeholder=$(sed -n -e "s/^ *\(-[a-z], \)\?\(--[a-z-]*\)\? *<\([^>]*\)>.*/\1\2 \3/p" \
      -e "s/^ *\(-[a-z]\) *<\([^>]*\)>.*/\1 \2/p" <<<"$help" |
      while read -r first second third; do
        # "-o, --output FILE", "--entry N" or "-x FIELD"
        if [[ -n $third ]]; then
          [[ $prev == "${first%,}" || $prev == "$second" ]] && echo "$third"
        else
          [[ $prev == "$first" || $prev == "-$first" ]] && echo "$second"
        fi
      done)
  fi
  if [[ -n $placeholder ]]; then
    case $placeholder in
      *"|"*) mapfile -t COMPREPLY < <(compgen -W "${placeholder//|/ }" -- "$cur") ;;
      DIR) mapfile -t COMPREPLY < <(compgen -d -- "$cur") ;;
      FIELD)
        # The indented lines under "Fields ...:".
        mapfile -t COMPREPLY < <(compgen -W "$(sed -n '/^Fields/,/^$/s/^  //p' <<<"$help")" -- "$cur")
        return
        ;;
      N | K) ;;
      *) mapfile -t COMPREPLY < <(compgen -f -- "$cur") ;;
    esac
    compopt -o filenames 2>/dev/null
    return
  fi
  if [[ $cur == -* ]]; then
    local options
    options=$(sed -n -e 's/^ *\(-[a-z], \)\?\(--[a-z][a-z-]*\).*/\2/p' \
      -e 's/^ *-\([a-z]\) <.*/--\1/p' <<<"$help")
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    return
  fi
  compopt -o filenames 2>/dev/null
  mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}

complete -F _varsk_units varsk-units
