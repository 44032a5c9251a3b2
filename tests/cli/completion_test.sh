#!/usr/bin/env bash
# The bash completion of vextune-cli, run as bash runs it: COMP_WORDS and
# COMP_CWORD set, the function called, COMPREPLY compared. The zsh
# completion is checked for its syntax.
# completion_test.sh BASH_COMPLETION ZSH_COMPLETION
set -u
bash_completion=$(realpath "$1")
zsh_completion=$(realpath "$2")
# shellcheck source=/dev/null
source "$bash_completion"

failures=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
touch firmware.amb mine.vxg old.vxn notes.txt
mkdir folder

# expect "WORDS..." "EXPECTED REPLIES (sorted, blank separated)"
expect() {
  local words=$1 expected=$2
  read -r -a COMP_WORDS <<<"$words"
  [[ $words == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _vextune_cli 2>/dev/null
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//')
  if [[ $got != "$expected" ]]; then
    echo "\"$words\": got \"$got\", expected \"$expected\""
    failures=$((failures + 1))
  fi
}

expect "vextune-cli sh" "show"
expect "vextune-cli d" "defaults diff doctor"
expect "vextune-cli --v" "--version"
expect "vextune-cli show --" "--help --json --long"
expect "vextune-cli check --" "--help --json --port --trace"
expect "vextune-cli read -" "--accept-defaults --help --json --output --port --quiet --trace --yes -o"
expect "vextune-cli params TxD" "TxDelay"
expect "vextune-cli set mine.vxg TxD" "TxDelay="
expect "vextune-cli set mine.vxg %AT=6 Aprs" \
  "AprsAltTable= AprsAltitude= AprsAutoSpeed= AprsBeacon= AprsCall= AprsComment= AprsCompressed= AprsCrossMode= AprsDest= AprsDestSsid= AprsDigi= AprsFreqBeacon= AprsHfToggle= AprsHfToggleOld= AprsInterval= AprsPosition= AprsStatusEvery= AprsStatusText= AprsSymbol= AprsTimestamp= AprsTrackOnly= AprsUnprotoCross= AprsValid= AprsVia1= AprsVia1Ssid= AprsVia2= AprsVia2Ssid= AprsVia3= AprsVia3Ssid= AprsVia4= AprsVia4Ssid= AprsVia5= AprsVia5Ssid= AprsVia6= AprsVia6Ssid= AprsVia7= AprsVia7Ssid= AprsVia8= AprsVia8Ssid="
expect "vextune-cli set " "- folder mine.vxg old.vxn"
expect "vextune-cli update " "- firmware.amb folder"
expect "vextune-cli show o" "old.vxn"
expect "vextune-cli read -o " "- folder mine.vxg"
expect "vextune-cli ports " ""
expect "vextune-cli ports --" "--help --json --wait"

if command -v zsh >/dev/null; then
  zsh -n "$zsh_completion" || failures=$((failures + 1))
else
  echo "zsh is missing (scripts/install-deps.sh installs it)"
  failures=$((failures + 1))
fi

[[ $failures -eq 0 ]] && echo "bash and zsh completion: all cases pass"
exit "$failures"
