# The ports on 127.0.0.1 that the scripts' private Firebird servers use, all
# moved by one environment variable, ZELO_PORT_BASE (30555 by default):
#   ZELO_PORT_BASE      the test suite (scripts/test.sh, first build)
#   ZELO_PORT_BASE+1    the test suite's sanitizer build
#   ZELO_PORT_BASE+2    the benchmarks (scripts/bench.sh)
#   the test ports +50, +60 and +70  servers that three tests start, stop and kill
#   the test ports +80 and +90        the servers of the two tests that restore
#                                     incomplete backups
# Sourced by test.sh and bench.sh.
port_base=${ZELO_PORT_BASE:-30555}
# The highest of them: the sanitizer build's test port +90.
highest_offset=91
if [[ ! $port_base =~ ^[0-9]+$ ]] || ((port_base < 1024 || port_base > 65535 - highest_offset)); then
  echo "ZELO_PORT_BASE must be a port number from 1024 to $((65535 - highest_offset)), not '$port_base'" >&2
  exit 2
fi
# The kernel gives client connections their own end from this range, and such
# an end holds its port for a minute after the connection closed (TIME-WAIT):
# a test server restarted on a port inside it may find the port taken.
ephemeral_range=/proc/sys/net/ipv4/ip_local_port_range
if [[ -r $ephemeral_range ]]; then
  read -r ephemeral_low ephemeral_high <"$ephemeral_range"
  if ((port_base <= ephemeral_high && port_base + highest_offset >= ephemeral_low)); then
    echo "ZELO_PORT_BASE=$port_base puts the test ports $port_base-$((port_base + highest_offset))" \
      "inside the range the system gives client connections ($ephemeral_low-$ephemeral_high, $ephemeral_range)," \
      "where a connection can hold a port just as a test server restarts on it;" \
      "choose a base from 1024 to $((ephemeral_low - 1 - highest_offset))" \
      "or from $((ephemeral_high + 1)) to $((65535 - highest_offset))" >&2
    exit 2
  fi
fi
test_port=$port_base
sanitizer_test_port=$((port_base + 1))
bench_port=$((port_base + 2))
