#!/bin/sh
# Installs the built game into a temporary prefix and starts the installed program from an unrelated
# folder, headless: it must find its data set through its own location, apply the installed setup
# script, write its files only into the player's data and config folders, and end cleanly on SIGTERM.
# Arguments: BUILD_DIR.
set -eu
build=$1
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
pid=
prefix=$work/prefix

fail() { echo "installed-program: $*" >&2; [ -f "$work/stderr" ] && cat "$work/stderr" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; fail "cmake --install failed"; }

for file in bin/quarrytide lib/quarrytide/libclipview.so share/quarrytide/properties/default.uprop share/quarrytide/setup.reg \
            share/quarrytide/layout/base.xml share/quarrytide/icon.png \
            share/applications/quarrytide.desktop \
            share/icons/hicolor/scalable/apps/quarrytide.svg share/icons/hicolor/48x48/apps/quarrytide.png; do
  [ -f "$prefix/$file" ] || fail "$file was not installed"
done
[ ! -e "$prefix/share/quarrytide/quarrytide" ] || fail "the program was installed among its data"
grep -q '^Exec=quarrytide$' "$prefix/share/applications/quarrytide.desktop" || fail "desktop entry has no Exec line"

mkdir "$work/elsewhere" "$work/home"
(
  cd "$work/elsewhere"
  exec env QUARRYTIDE_HOST=headless SDL_AUDIODRIVER=dummy HOME="$work/home" \
      XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" XDG_RUNTIME_DIR="$work/home" \
      QUARRYTIDE_REGISTRY="$work/home/registry" \
      "$prefix/bin/quarrytide" >"$work/stdout" 2>"$work/stderr"
) &
pid=$!

# Started up once the settings are read (which marks the run as not yet ended cleanly).
tries=0
until grep -q '"shutdowncorrect"=dword:00000000' "$work/home/registry" 2>/dev/null; do
  kill -0 "$pid" 2>/dev/null || fail "the installed program ended during start-up"
  tries=$((tries + 1))
  [ "$tries" -lt 600 ] || fail "the installed program did not start within a minute"
  sleep 0.1
done
sleep 1
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the installed program ended with status $status"
grep -q '"shutdowncorrect"=dword:00000001' "$work/home/registry" || fail "no clean shutdown recorded"
grep -q 'update.quarrytide.invalid' "$work/home/registry" || fail "the installed setup script was not applied"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the program wrote into the folder it was started in: $(ls -A "$work/elsewhere")"
[ -d "$work/home/data/quarrytide" ] || fail "no data folder for the player"
# Nothing the program writes may land in the installed prefix.
new=$(find "$prefix" -newer "$work/install.log" -type f | head -5)
[ -z "$new" ] || fail "the program wrote into its installation: $new"
echo "installed-program: ok"
