#!/bin/bash
# Tests write only into their own temporary folders. Run as the first and the last test of
# a ctest run: "snapshot" records the state of the source tree (status and content of every
# changed or untracked file), "compare" fails when the run changed it. The state at the
# start, not a clean tree, is the reference, so edits in progress do not count.
# Exits 77 (skipped) outside a git checkout or without git.
set -u
mode=$1 source=$2 state=$3

command -v git >/dev/null 2>&1 || { echo "git is not installed: source tree not checked"; exit 77; }
git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1 ||
  { echo "$source is not a git checkout: source tree not checked"; exit 77; }

tree_state() {
  git -C "$source" status --porcelain=v1 -z --untracked-files=all |
    while IFS= read -r -d '' entry; do
      path=${entry:3}
      # A rename's original name follows as an entry of its own.
      case $entry in R*|C*) IFS= read -r -d '' _ ;; esac
      if [ -f "$source/$path" ]; then
        printf '%s %s\n' "$entry" "$(sha1sum < "$source/$path" | cut -c1-40)"
      else
        printf '%s -\n' "$entry"
      fi
    done | LC_ALL=C sort
}

case $mode in
  snapshot)
    tree_state > "$state"
    ;;
  compare)
    [ -f "$state" ] || { echo "no snapshot taken at the start of the run"; exit 77; }
    if ! diff -u "$state" <(tree_state) > "$state.diff"; then
      echo "The test run changed the source tree $source (tests must write only into their"
      echo "own temporary folders):"
      sed -n '3,$p' "$state.diff" | grep '^[-+]'
      exit 1
    fi
    echo "source tree unchanged by the test run"
    ;;
  *)
    echo "usage: $0 snapshot|compare SOURCE STATE-FILE" >&2
    exit 2
    ;;
esac
