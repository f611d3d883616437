# Shared by the command-line end-to-end scripts: the tools of a build, a
# scratch folder removed at exit, and `check`, which counts failures.
# Sourced with the tools build folder as its argument.
tools=$1
zam="$tools/zam"
gen="$tools/zamgen"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then echo "  ok   $what"; else echo "  FAIL $what"; failures=$((failures + 1)); fi
}
