#!/usr/bin/env bash
# A private Firebird 3 server for the tests: its own config, lock folder,
# security database and port, bound to 127.0.0.1. Never touches the system's
# server or its security database.
#
#   fbserver.sh start DIR PORT   prepare DIR, start the server, wait for the port
#   fbserver.sh stop DIR         stop the server started in DIR (no-op if none)
#
# Clients reach it with FIREBIRD=DIR in their environment (plain "localhost:"
# names then use the private port); SYSDBA's password is in DIR/sysdba.password.
#
# DIR is the script's own: a start empties it only when it holds the marker
# file that an earlier start left there, and refuses any other folder that is
# not empty. A busy port is reported with FB_PORT_SETTING, the setting that
# moves it (the caller's choice; FB_TEST_PORT of the build by default).
set -euo pipefail

FB_LIB=/usr/lib/x86_64-linux-gnu/firebird/3.0
FB_SERVER=/usr/sbin/firebird
ISQL=/usr/bin/isql-fb
PASSWORD=${FB_TEST_PASSWORD:-vuvuzarid}
MARKER=.fbserver-folder

port_open() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

made_here() { [[ -f $1/$MARKER ]]; }

stop_server() {
  local dir=$1 pid
  made_here "$dir" && [[ -f $dir/server.pid ]] || return 0
  pid=$(<"$dir/server.pid")
  if kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
  fi
  rm -f "$dir/server.pid"
}

# An empty DIR of the script's own, marked as such.
prepare_folder() {
  local dir=$1
  if made_here "$dir"; then
    stop_server "$dir"
    rm -rf "$dir"
  elif [[ -e $dir && ! -d $dir ]] || [[ -d $dir && -n $(ls -A "$dir") ]]; then
    echo "fbserver: $dir is not a server folder made by this script (it has no $MARKER);" \
      "it is left as it is: remove it yourself or give another folder" >&2
    exit 1
  fi
  mkdir -p "$dir"
  : >"$dir/$MARKER"
}

start_server() {
  local dir=$1 port=$2
  if [[ ! $port =~ ^[0-9]+$ ]] || ((port < 1 || port > 65535)); then
    echo "fbserver: '$port' is not a port number" >&2
    exit 2
  fi
  prepare_folder "$dir"
  if port_open "$port"; then
    echo "fbserver: port $port on 127.0.0.1 is already in use; choose another with ${FB_PORT_SETTING:-FB_TEST_PORT}" >&2
    exit 1
  fi
  mkdir -p "$dir/lock" "$dir/intl" "$dir/db"
  cp "$FB_LIB/firebird.msg" "$FB_LIB/plugins.conf" "$dir/"
  # A real copy: a symlinked intl module loads but knows no character sets.
  cp "$FB_LIB/intl/libfbintl.so" "$FB_LIB/intl/fbintl.conf" "$dir/intl/"
  cat >"$dir/firebird.conf" <<CONF
ServerMode = Super
RemoteBindAddress = 127.0.0.1
RemoteServicePort = $port
SecurityDatabase = $dir/security3.fdb
CONF
  # restore_alias: a database the server names for itself, so that a restore
  # to it goes the server's own replace way.
  cat >"$dir/databases.conf" <<CONF
security.db = $dir/security3.fdb
{
  RemoteAccess = false
}
restore_alias = $dir/db/restore-alias.fdb
CONF
  export FIREBIRD=$dir FIREBIRD_LOCK=$dir/lock
  # The server opens a file name with Czech letters only in a UTF-8 locale,
  # whatever the caller's (POSIX for a new account). A password with Czech
  # letters logs in only when isql set it over a UTF8 connection.
  export LC_ALL=C.UTF-8
  echo "create database '$dir/security3.fdb' user 'SYSDBA';" | "$ISQL" -q >"$dir/setup.log" 2>&1
  printf "create or alter user SYSDBA password '%s' using plugin Srp;\ncommit;\n" "$PASSWORD" |
    "$ISQL" -q -ch UTF8 -user SYSDBA "$dir/security3.fdb" >>"$dir/setup.log" 2>&1
  printf '%s' "$PASSWORD" >"$dir/sysdba.password"

  setsid "$FB_SERVER" </dev/null >"$dir/server.log" 2>&1 &
  echo $! >"$dir/server.pid"
  for _ in $(seq 100); do
    if port_open "$port"; then
      echo "fbserver: listening on 127.0.0.1:$port (FIREBIRD=$dir)"
      return 0
    fi
    kill -0 "$(<"$dir/server.pid")" 2>/dev/null || break
    sleep 0.05
  done
  echo "fbserver: the server did not start; its log:" >&2
  cat "$dir/server.log" >&2 || true
  stop_server "$dir"
  exit 1
}

case ${1:-} in
  start) start_server "${2:?folder}" "${3:?port}" ;;
  stop) stop_server "${2:?folder}" ;;
  *) echo "usage: $0 start DIR PORT | stop DIR" >&2; exit 2 ;;
esac
