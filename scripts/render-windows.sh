#!/usr/bin/env bash
# Renders every window of Kelmo and Pelrin to PNG files for review: the real
# programs on a virtual screen under openbox, driven by xdotool, each window
# captured with its title bar. Not a test: look at the pictures.
#
#   scripts/render-windows.sh [OUTPUT_DIR]     (default: build/render)
#
# Uses the build in build/ (builds it when needed), the embedded engine for
# Kelmo's demo database and a private Firebird server for Pelrin.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
out=${1:-$build/render}
display=${RENDER_DISPLAY:-:94}
port=${RENDER_FB_PORT:-31390}

# Beyond the build's packages: the window manager, xprop and import.
bash "$root/scripts/install-deps.sh" openbox x11-utils imagemagick
[[ -d $build ]] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" --target kelmo pelrin kelmo-demo-db >/dev/null

work=$(mktemp -d)
mkdir -p "$out" "$work/lock"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  "$root/scripts/fbserver.sh" stop "$work/fb" >/dev/null 2>&1 || true
  sleep 0.5
  rm -rf "$work"
}
trap cleanup EXIT

export DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work/config
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

# The window with this title, once it is shown (its id on stdout).
window() { timeout 15 xdotool search --sync --onlyvisible --name "^$1\$" | head -1; }
# Waits until the window manager has framed the window (it then tells the
# frame's extents), and a moment more for the frame and the window to be drawn.
framed() {
  for _ in $(seq 50); do
    xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q = && break
    sleep 0.1
  done
  sleep 0.5
}
# Captures the whole screen, for what has no title of its own (a menu).
screen() {
  sleep 0.5
  import -window root "$out/$1.png"
  echo "$out/$1.png"
}
# Captures the window with the frame the window manager drew around it.
shot() {
  local id
  id=$(window "$2")
  framed "$id"
  import -frame -window "$id" "$out/$1.png"
  echo "$out/$1.png"
}
keys() { xdotool key --delay 80 "$@"; sleep 0.3; }
click() { xdotool mousemove --window "$(window "$1")" "$2" "$3" click 1; sleep 0.3; }

# Kelmo on its demo database: the station's last login is the administrator.
export FIREBIRD_LOCK=$work/lock KELMO_SETTINGS_FILE=$work/zelo.ini
"$build/useradmin/tools/kelmo-demo-db" "$work/zelo.fdb" "$work/zelo.ini" >/dev/null
"$build/useradmin/kelmo" &
kelmo=$!
pids+=("$kelmo")
shot 01-login "Zadejte jméno a heslo"
xdotool type --delay 60 "spatne"
keys Return
shot 02-wrong-login "Upozornění"
keys Return
# The wrong password stays in its edit, as the login leaves it.
keys ctrl+a
xdotool type --delay 60 "demo"
keys Return
shot 03-main-window "Uživatelé"
click "Uživatelé" 100 70
shot 04-user-list "Nastavení uživatelů"
click "Nastavení uživatelů" 25 10
screen 04-user-list-menu
keys Escape
keys Insert
shot 05-user-editor "Změna nastavení uživatele"
keys Escape
click "Nastavení uživatelů" 40 54
keys F3
shot 06-search "Hledání"
keys Escape
keys Delete
shot 07-delete-question "Upozornění"
keys n
keys Escape
click "Uživatelé" 100 30
shot 08-connection-dialog "InterBase Server nastavení"
# The browse button serves a database on this computer.
click "InterBase Server nastavení" 30 32
click "InterBase Server nastavení" 314 82
shot 09-file-dialog "Zadejte cestu k databázovému souboru"
keys Escape
click "InterBase Server nastavení" 100 252
shot 10-test-connection "Informace|Chyba!"
keys Return
# A database that is not there: the connection stays down.
click "InterBase Server nastavení" 150 82
keys ctrl+a
xdotool type --delay 60 "$work/chybi.fdb"
click "InterBase Server nastavení" 221 252
shot 14-connection-failed "Upozornění"
keys Return
shot 15-main-window-disconnected "Uživatelé"
keys Escape
wait "$kelmo" || true

# A database without DB$UZIV: the login's failure in the default error box,
# captioned with the program's title.
cp "$work/zelo.fdb" "$work/bez-uzivatelu.fdb"
echo 'drop table DB$UZIV; commit;' | isql-fb -q -user SYSDBA "$work/bez-uzivatelu.fdb"
sed "s|^DatabaseName=.*|DatabaseName=$work/bez-uzivatelu.fdb|" "$work/zelo.ini" >"$work/bez-uzivatelu.ini"
KELMO_SETTINGS_FILE=$work/bez-uzivatelu.ini "$build/useradmin/kelmo" &
pids+=($!)
shot 16-no-users-table "Správa uživatelů DEVEVI"
keys Return

# Pelrin: the usage box, then the restore window over a private server.
"$build/restore/pelrin" &
pids+=($!)
shot 11-usage "Informace"
keys Return
"$root/scripts/fbserver.sh" start "$work/fb" "$port" >/dev/null
export FIREBIRD=$work/fb
"$build/restore/pelrin" "$work/zaloha.gbk" "$work/zelo.fdb" localhost "$(<"$work/fb/sysdba.password")" &
pids+=($!)
shot 12-restore-window "Obnova dat ze zálohy"
keys Escape
# The silent mode's wait window stays up while the failure is reported.
"$build/restore/pelrin" "$work/chybi.gbk" "$work/zelo.fdb" localhost "$(<"$work/fb/sysdba.password")" SILENT &
pids+=($!)
framed "$(window "Upozornění")"
import -window root "$out/13-silent-failure.png"
echo "$out/13-silent-failure.png"
keys Return
