#!/usr/bin/env bash
# The score board's program as scripts/scores starts it: its options and their errors, the
# schema made on first start and kept on the next, a clean stop on SIGTERM, the page at /.
set -euo pipefail
: "${VEXMO_BINARY_DIR:?}"
exe=$VEXMO_BINARY_DIR/scores/vexmo-scores
work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/out.txt" ] && tail -n 20 "$work/out.txt" >&2
  exit 1
}
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
start() { # args for the service
  "$exe" "$@" >"$work/out.txt" 2>&1 &
  pid=$!
  for _ in $(seq 100); do
    curl -sf "http://127.0.0.1:$port/v1/health" >/dev/null 2>&1 && return 0
    kill -0 "$pid" 2>/dev/null || fail "the service ended at start"
    sleep 0.05
  done
  fail "the service did not answer"
}
stop() {
  kill -TERM "$pid"
  local status=0
  wait "$pid" || status=$?
  pid=""
  [ "$status" = 0 ] || fail "SIGTERM ended the service with status $status"
  grep -q "stopping" "$work/out.txt" || fail "no line on stopping"
}

"$exe" --help | grep -q "VEXMO_SCORES_DB" || fail "--help does not name \$VEXMO_SCORES_DB"
set +e
"$exe" --port 0 >"$work/err.txt" 2>&1; bad_port=$?
VEXMO_SCORES_PORT=eighty "$exe" >"$work/err2.txt" 2>&1; bad_env=$?
"$exe" --db "$work/no/such/folder/scores.db" --port "$(free_port)" >"$work/err3.txt" 2>&1; bad_db=$?
set -e
[ "$bad_port" = 2 ] && grep -q -- "--port wants a whole number from 1 to 65535" "$work/err.txt" \
  || fail "--port 0: status $bad_port, $(cat "$work/err.txt")"
[ "$bad_env" = 2 ] && grep -q "VEXMO_SCORES_PORT" "$work/err2.txt" \
  || fail "a bad \$VEXMO_SCORES_PORT: status $bad_env, $(cat "$work/err2.txt")"
[ "$bad_db" = 1 ] && grep -q "cannot open the SQLite database" "$work/err3.txt" \
  || fail "an unwritable database: status $bad_db, $(cat "$work/err3.txt")"

mkdir "$work/web"
echo '<!doctype html><title>Vexmo</title>' >"$work/web/index.html"
port=$(free_port)
export VEXMO_SCORES_PORT=$port VEXMO_SCORES_DB=$work/scores.db VEXMO_SCORES_WEB=$work/web
start
health=$(curl -s "http://127.0.0.1:$port/v1/health")
echo "$health" | grep -q '"database":"sqlite"' || fail "health: $health"
echo "$health" | grep -q '"schema":1' || fail "no schema made: $health"
curl -s "http://127.0.0.1:$port/" | grep -q "<title>Vexmo</title>" || fail "no page at /"
code=$(curl -s -o "$work/body.txt" -w '%{http_code}' --data-binary 'not a replay' \
  "http://127.0.0.1:$port/v1/games")
case "$code" in
  422 | 501) grep -q '"error"' "$work/body.txt" || fail "post: $(cat "$work/body.txt")" ;;
  *) fail "a post of noise got $code: $(cat "$work/body.txt")" ;;
esac
stop
[ -s "$work/scores.db" ] || fail "no database file"
start
curl -s "http://127.0.0.1:$port/v1/health" | grep -q '"schema":1' || fail "schema lost on restart"
stop
echo "scores_service: ok"
