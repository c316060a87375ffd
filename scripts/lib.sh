# Sourced by the scripts that build and run the tool: it moves to the source tree's root, whose
# path is then in VT_ROOT, and gives them the steps they share.
VT_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$VT_ROOT"

# vt_build BUILD_DIR [TARGET...]: installs what is missing, configures BUILD_DIR with the default
# preset's settings and builds the targets (everything when none is named).
vt_build() {
  local dir="$1"; shift
  bash scripts/bootstrap.sh
  cmake --preset default -B "$dir" >/dev/null
  if [ $# -gt 0 ]; then cmake --build "$dir" --target "$@"; else cmake --build "$dir"; fi
}

# A script that runs programs under Wine starts twice: first outside, where it builds, then again
# through with-wine.sh with --inside-wine as its first argument.
vt_inside_wine() { [ "${1:-}" = --inside-wine ]; }

# vt_rerun_in_wine PREFIX_DIR [ARG...]: runs the calling script again in with-wine.sh's environment
# for PREFIX_DIR, with --inside-wine before ARGs; does not return. VT_CPU_PIN, when set, is a command
# that the run goes through (taskset for the benchmarks).
vt_rerun_in_wine() {
  local prefix="$1"; shift
  exec ${VT_CPU_PIN:-} scripts/with-wine.sh "$prefix" "$VT_ROOT/scripts/$(basename "$0")" \
    --inside-wine "$@"
}
