# The ports on 127.0.0.1 that the scripts' private Firebird servers use, all
# moved by one environment variable, ZELO_PORT_BASE (30555 by default):
#   ZELO_PORT_BASE      the test suite (scripts/test.sh, first build)
#   ZELO_PORT_BASE+1    the test suite's sanitizer build
#   ZELO_PORT_BASE+2    the benchmarks (scripts/bench.sh)
#   the test ports +50, +60 and +70  servers that three tests start, stop and kill
# Sourced by test.sh and bench.sh.
port_base=${ZELO_PORT_BASE:-30555}
if [[ ! $port_base =~ ^[0-9]+$ ]] || ((port_base < 1024 || port_base > 65464)); then
  echo "ZELO_PORT_BASE must be a port number from 1024 to 65464, not '$port_base'" >&2
  exit 2
fi
test_port=$port_base
sanitizer_test_port=$((port_base + 1))
bench_port=$((port_base + 2))
