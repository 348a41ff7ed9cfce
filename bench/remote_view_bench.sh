#!/bin/sh
# Request rate of the remote view: wrk against `vantry --serve` on loopback, and in the
# same run against nginx serving the same page bytes with "Connection: close", then
# both rates and their ratio. Bounded: each wrk run lasts SECONDS (default 10).
#
#   bench/remote_view_bench.sh [VANTRY_BINARY] [DOCUMENT] [SECONDS]
#
# Needs Debian's wrk and nginx (nginx-light will do): apt-get install wrk nginx-light
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
vantry=$(realpath "${1:-$here/build/src/vantry}")
document=${2:-$here/examples/demo.vnt}
seconds=${3:-10}
threads=2
connections=8
vantry_port=18100
nginx_port=18101
nginx=$(command -v nginx || echo /usr/sbin/nginx)

for tool in wrk "$nginx" python3; do
    command -v "$tool" >/dev/null 2>&1 || { echo "remote_view_bench: $tool is missing (apt-get install wrk nginx-light)" >&2; exit 2; }
done
[ -x "$vantry" ] || { echo "remote_view_bench: no program at $vantry (build it first)" >&2; exit 2; }

# until_true TENTHS COMMAND...: polls COMMAND every tenth of a second, at most TENTHS times.
until_true() {
    tries=$1
    shift
    until "$@" 2>/dev/null; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

work=$(mktemp -d)
chmod 755 "$work" # nginx's workers run as another user
vantry_pid=""
cleanup() {
    [ -n "$vantry_pid" ] && kill "$vantry_pid" 2>/dev/null && wait "$vantry_pid" 2>/dev/null
    if [ -f "$work/nginx.pid" ]; then
        nginx_pid=$(cat "$work/nginx.pid")
        kill "$nginx_pid" 2>/dev/null
        # nginx writes into the scratch folder until its master has gone.
        until_true 600 sh -c "! kill -0 $nginx_pid" || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

# The server, on loopback only; its traces (two lines a request) are not measured.
# It runs in the scratch folder, where its log goes.
document=$(realpath "$document")
(cd "$work" && exec "$vantry" --serve --port "$vantry_port" --bind 127.0.0.1 "$document") \
    >"$work/vantry.out" 2>/dev/null &
vantry_pid=$!
until_true 600 grep -q "Serving" "$work/vantry.out" ||
    { echo "remote_view_bench: vantry did not start" >&2; exit 1; }

# fetch PORT FILE STATUS_LINE: the body one GET answers, into FILE (or, when FILE exists,
# checked against it), after checking the status line and, for nginx, the closing header.
fetch() {
    python3 - "$@" <<'PY'
import os, socket, sys
port, path, status = int(sys.argv[1]), sys.argv[2], sys.argv[3].encode()
with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
    s.sendall(b"GET / HTTP/1.0\r\n\r\n")
    answer = b""
    while chunk := s.recv(65536):
        answer += chunk
head, body = answer.split(b"\r\n\r\n", 1)
assert head.split(b"\r\n")[0] == status, head
if os.path.exists(path):
    assert b"Connection: close" in head, head
    assert body == open(path, "rb").read(), "nginx serves other bytes"
else:
    open(path, "wb").write(body)
    os.chmod(path, 0o644)
    print(f"page: {len(body)} bytes")
PY
}

# The page bytes as vantry sends them, for nginx to serve.
mkdir -p "$work/www"
fetch "$vantry_port" "$work/www/index.html" "HTTP/1.0 200 OK"

cat >"$work/nginx.conf" <<CONF
daemon on;
worker_processes auto;
pid $work/nginx.pid;
error_log $work/error.log;
events { worker_connections 256; }
http {
    access_log off;
    client_body_temp_path $work/body;
    proxy_temp_path $work/proxy;
    fastcgi_temp_path $work/fastcgi;
    uwsgi_temp_path $work/uwsgi;
    scgi_temp_path $work/scgi;
    default_type text/html;
    keepalive_timeout 0;
    server {
        listen 127.0.0.1:$nginx_port;
        root $work/www;
        index index.html;
    }
}
CONF
"$nginx" -c "$work/nginx.conf" -p "$work" 2>/dev/null
# The master writes its pid once its sockets listen and it has left the foreground.
until_true 600 test -s "$work/nginx.pid" ||
    { echo "remote_view_bench: nginx did not start" >&2; exit 1; }
fetch "$nginx_port" "$work/www/index.html" "HTTP/1.1 200 OK"

rate() {
    out=$(timeout $((seconds + 30)) wrk -t"$threads" -c"$connections" -d"${seconds}s" "http://127.0.0.1:$1/")
    # A page ends with its connection, which wrk counts as a read "error" of each request.
    echo "$out" | sed 's/^/    /' >&2
    echo "$out" | awk '/^Requests\/sec:/ { print $2 }'
}

echo "wrk: $threads threads, $connections connections, ${seconds}s each, loopback"
echo "vantry --serve ($document):" >&2
vantry_rate=$(rate "$vantry_port")
echo "nginx, same bytes, Connection: close:" >&2
nginx_rate=$(rate "$nginx_port")
echo "vantry: $vantry_rate requests/s"
echo "nginx:  $nginx_rate requests/s"
python3 -c "print(f'ratio vantry/nginx: {float(\"$vantry_rate\") / float(\"$nginx_rate\"):.2f}')"
