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
#
# How the server ended (its exit status or signal) goes to DIR/server.ended;
# a stop of a server that had ended on its own fails and says how it ended.
set -euo pipefail

FB_LIB=/usr/lib/x86_64-linux-gnu/firebird/3.0
FB_SERVER=/usr/sbin/firebird
ISQL=/usr/bin/isql-fb
PASSWORD=${FB_TEST_PASSWORD:-vuvuzarid}
MARKER=.fbserver-folder

port_open() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# Connections whose own end is the port (a listener aside). A client's, also
# one closed less than a minute ago (TIME-WAIT), keeps a server from binding it.
port_holders() { ss -Htan "( sport = :$1 )" 2>/dev/null | awk '$1 != "LISTEN"' || true; }

# Every server of this computer writes its log to one file, fixed when the
# package was built.
SHARED_LOG=/var/log/firebird/firebird3.0.log

server_log() {
  local dir=$1
  cat "$dir/server.log" 2>/dev/null || true
  if [[ -r $SHARED_LOG ]]; then
    echo "-- the end of $SHARED_LOG, where every server of this computer writes:"
    tail -n 12 "$SHARED_LOG"
  fi
}

made_here() { [[ -f $1/$MARKER ]]; }

server_alive() { [[ -f $1/server.pid ]] && kill -0 "$(<"$1/server.pid")" 2>/dev/null; }

stop_server() {
  local dir=$1 pid
  made_here "$dir" && [[ -f $dir/server.pid ]] || return 0
  pid=$(<"$dir/server.pid")
  if kill -0 "$pid" 2>/dev/null; then
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
  fi
  # The watching shell writes down how the server ended: let it finish.
  if [[ -f $dir/watch.pid ]]; then
    pid=$(<"$dir/watch.pid")
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  fi
  rm -f "$dir/server.pid" "$dir/watch.pid"
}

# DIR/dropped holds the databases that the server drops itself (its own
# replace of restore_alias, a drop), DIR/tmp the tests' temporary folders
# (TMPDIR), whose databases go when a test ends. The engine lets go of a
# database's shared files, named after the file's device and inode, only a
# moment after the file is gone, and the disk's file system gives that inode
# to the next new file at once: a test database created in that moment would
# meet those files and fail, or bring the server down. So these folders are
# on a memory file system of their own: another device, whose inode numbers
# only grow.
MEMORY_FOLDERS=(dropped tmp)

make_memory_folders() {
  local dir=$1 name memory
  for name in "${MEMORY_FOLDERS[@]}"; do
    if memory=$(mktemp -d "/dev/shm/fbtest-$name.XXXXXX" 2>/dev/null); then
      chmod 755 "$memory"
      ln -s "$memory" "$dir/$name"
    else
      mkdir "$dir/$name"
    fi
  done
}

remove_memory_folders() {
  local dir=$1 name
  for name in "${MEMORY_FOLDERS[@]}"; do
    [[ -L $dir/$name ]] && rm -rf "$(readlink "$dir/$name")"
    rm -rf "${dir:?}/$name"
  done
}

# An empty DIR of the script's own, marked as such.
prepare_folder() {
  local dir=$1
  if made_here "$dir"; then
    stop_server "$dir"
    remove_memory_folders "$dir"
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
  make_memory_folders "$dir"
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
restore_alias = $dir/dropped/restore-alias.fdb
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

  # A small shell waits for the server and writes down how it ended.
  setsid bash -c '"$1" </dev/null >"$2/server.log" 2>&1 &
    echo $! >"$2/server.pid.new" && mv "$2/server.pid.new" "$2/server.pid"
    wait $!
    status=$?
    if ((status > 128)); then
      echo "signal $((status - 128)), SIG$(kill -l $((status - 128)))"
    else
      echo "exit status $status"
    fi >"$2/server.ended"' fbserver-watch "$FB_SERVER" "$dir" </dev/null >/dev/null 2>&1 &
  echo $! >"$dir/watch.pid"
  # A server that cannot bind its port retries for about a minute before it
  # gives up (measured), as a connection closed just before holds the port.
  local deadline=$((SECONDS + 90))
  while ((SECONDS < deadline)); do
    if port_open "$port"; then
      echo "fbserver: listening on 127.0.0.1:$port (FIREBIRD=$dir)"
      return 0
    fi
    [[ -f $dir/server.ended ]] && break
    sleep 0.05
  done
  if grep -qs "Address already in use" "$dir/server.log"; then
    port_held_message "$port"
  elif [[ -f $dir/server.ended ]]; then
    echo "fbserver: the server failed to start ($(<"$dir/server.ended")); its log:" >&2
  else
    echo "fbserver: the server did not listen on 127.0.0.1:$port within 90 s; its log:" >&2
  fi
  server_log "$dir" >&2
  stop_server "$dir"
  remove_memory_folders "$dir"
  exit 1
}

port_held_message() {
  local port=$1
  echo "fbserver: port $port on 127.0.0.1 is held by a connection, so the server could not listen on it" \
    "(a port below the system's range for client connections," \
    "$(tr -s '\t ' - </proc/sys/net/ipv4/ip_local_port_range), is never taken so;" \
    "choose another with ${FB_PORT_SETTING:-FB_TEST_PORT}); the connections on it:" >&2
  port_holders "$port" >&2
  echo "fbserver: the server's log:" >&2
}

# A stop of a server that ended on its own: it fails and tells how it ended.
stop_command() {
  local dir=$1 died=
  made_here "$dir" && [[ -f $dir/server.pid ]] || return 0
  server_alive "$dir" || died=yes
  stop_server "$dir"
  remove_memory_folders "$dir"
  if [[ -n $died ]]; then
    echo "fbserver: the server of $dir died before it was stopped" \
      "($(cat "$dir/server.ended" 2>/dev/null || echo "how is not known")); its log:" >&2
    server_log "$dir" >&2
    exit 1
  fi
}

case ${1:-} in
  start) start_server "${2:?folder}" "${3:?port}" ;;
  stop) stop_command "${2:?folder}" ;;
  *) echo "usage: $0 start DIR PORT | stop DIR" >&2; exit 2 ;;
esac
