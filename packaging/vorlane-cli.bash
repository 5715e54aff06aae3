# bash completion for vorlane-cli.
# The options and the values each takes are read from `vorlane-cli --help`
# and the output formats from `vorlane-cli --list-formats` at completion
# time, so the completion follows the program it completes.

# Prints "OPTION COUNT HINT" for each option the help text lists: COUNT is
# the number of values it takes, HINT the name of its first value.
_vorlane_cli_options() {
  local line option signature word count hint
  local -a words
  while IFS= read -r line; do
    # "  --fps RATE   text", "  -h, --help   text", "  --x=FILE  text"
    [[ $line =~ ^[[:space:]]+(-[[:alnum:]],[[:space:]]*)?(--[[:alnum:]][[:alnum:]-]*)(.*)$ ]] || continue
    option=${BASH_REMATCH[2]}
    signature=${BASH_REMATCH[3]}
    signature=${signature%%  *}
    signature=${signature#[= ]}
    read -r -a words <<<"${signature//[=,\[\]<>]/ }"
    count=0
    hint=
    for word in "${words[@]}"; do
      if [[ $word =~ ^[A-Z][A-Z0-9_.|-]*$ ]]; then
        ((count++)) || true
        [[ -n $hint ]] || hint=$word
      elif [[ $word == x && $count -gt 0 ]]; then
        continue  # "FLOAT x 2": two values
      elif [[ $word =~ ^[0-9]+$ && $count -gt 0 ]]; then
        count=$word
      else
        break
      fi
    done
    printf '%s %s %s\n' "$option" "$count" "${hint:--}"
  done < <("$1" --help 2>/dev/null)
}

_vorlane_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  local cli=${COMP_WORDS[0]/#\~/$HOME}
  local -A takes=() hints=()
  local option count hint
  while read -r option count hint; do
    takes[$option]=$count
    hints[$option]=$hint
  done < <(_vorlane_cli_options "$cli")

  # Walk the words before the cursor: options with their values, then the
  # format and the paths.
  local i=1 positional=0 pending=0 pending_hint='' word
  local only_paths=0
  while ((i < COMP_CWORD)); do
    word=${COMP_WORDS[i]}
    if ((pending > 0)); then
      ((pending--)) || true
    elif ((only_paths == 0)) && [[ $word == -- ]]; then
      only_paths=1
    elif ((only_paths == 0)) && [[ $word == --* && $word != *=* && -n ${takes[$word]:-} ]]; then
      pending=${takes[$word]}
      pending_hint=${hints[$word]}
    elif ((only_paths == 0)) && [[ $word == -?* ]]; then
      :
    else
      ((positional++)) || true
    fi
    ((i++))
  done

  COMPREPLY=()
  if ((pending > 0)); then
    case $pending_hint in
      DIR | FOLDER) mapfile -t COMPREPLY < <(compgen -d -- "$cur") ;;
      FILE | PATH) mapfile -t COMPREPLY < <(compgen -f -- "$cur") ;;
      *) return 0 ;;
    esac
    compopt -o filenames 2>/dev/null
    return 0
  fi
  if ((only_paths == 0)) && [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "${!takes[*]}" -- "$cur")
    return 0
  fi
  if ((positional == 0)); then
    # Format names are taken in any letter case.
    local name rest lower=${cur,,}
    while IFS=$'\t' read -r name rest; do
      [[ ${name,,} == "$lower"* ]] && COMPREPLY+=("$name")
    done < <("$cli" --list-formats 2>/dev/null)
    return 0
  fi
  mapfile -t COMPREPLY < <(compgen -f -- "$cur")
  compopt -o filenames 2>/dev/null
  return 0
}

complete -F _vorlane_cli vorlane-cli
