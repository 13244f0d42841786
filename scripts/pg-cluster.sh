# A throwaway PostgreSQL cluster for the tests: a temporary folder, a loopback port, run by an
# unprivileged user. `source` it, then `pg_cluster_starten` sets XOV_PG_TEST to the server's
# address ("postgresql://xov@127.0.0.1:PORT/"); `pg_cluster_stoppen` ends the server and removes
# the folder (call it from a trap so that it also runs when a test fails).
#
# The role xov logs in over TCP with the suite's password (scram-sha-256) and may create
# databases; every test creates its own databases there and drops them again.

PG_BIN=${PG_BIN:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)}

pg_cluster_starten() {
    local benutzer=""
    if [ "$(id -u)" -eq 0 ]; then benutzer="nobody"; fi
    PG_ORDNER=$(mktemp -d /tmp/xov-pg.XXXXXX)
    chmod 755 "$PG_ORDNER"
    [ -n "$benutzer" ] && chown "$benutzer" "$PG_ORDNER"
    als() { if [ -n "$benutzer" ]; then runuser -u "$benutzer" -- "$@"; else "$@"; fi; }
    printf 'lagerbestand4\n' > "$PG_ORDNER/pw"
    [ -n "$benutzer" ] && chown "$benutzer" "$PG_ORDNER/pw"
    als "$PG_BIN/initdb" -D "$PG_ORDNER/daten" -U postgres --auth-local=trust --auth-host=scram-sha-256 \
        --pwfile="$PG_ORDNER/pw" -E UTF8 --locale=C.UTF-8 >"$PG_ORDNER/initdb.log" 2>&1 || {
        cat "$PG_ORDNER/initdb.log"; return 1; }
    # The server offers TLS with a certificate of its own, as an office server would.
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=127.0.0.1" \
        -keyout "$PG_ORDNER/server.key" -out "$PG_ORDNER/server.crt" >/dev/null 2>&1
    chmod 600 "$PG_ORDNER/server.key"
    [ -n "$benutzer" ] && chown "$benutzer" "$PG_ORDNER/server.key" "$PG_ORDNER/server.crt"
    # A free port: the first of a range that no one listens on.
    local port
    for port in $(seq 55432 55532); do
        (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null || break
    done
    local optionen="-k $PG_ORDNER -p $port -c listen_addresses=127.0.0.1 -c fsync=off -c max_connections=200"
    optionen+=" -c ssl=on -c ssl_cert_file=$PG_ORDNER/server.crt -c ssl_key_file=$PG_ORDNER/server.key"
    echo "$optionen" > "$PG_ORDNER/optionen"
    als "$PG_BIN/pg_ctl" -D "$PG_ORDNER/daten" -l "$PG_ORDNER/server.log" -w -t 60 \
        -o "$optionen" start >/dev/null || {
        cat "$PG_ORDNER/server.log"; return 1; }
    als "$PG_BIN/psql" -q -h "$PG_ORDNER" -p "$port" -U postgres -d postgres \
        -c "CREATE ROLE xov LOGIN CREATEDB PASSWORD 'lagerbestand4'" >/dev/null
    PG_PORT=$port
    export XOV_PG_TEST="postgresql://xov@127.0.0.1:$port/"
    export XOV_PG_ORDNER="$PG_ORDNER"
    export XOV_PG_BIN="$PG_BIN"
    echo "PostgreSQL-Testserver: $XOV_PG_TEST in $PG_ORDNER"
}

pg_cluster_stoppen() {
    [ -n "${PG_ORDNER:-}" ] || return 0
    if [ -f "$PG_ORDNER/daten/postmaster.pid" ]; then
        if [ "$(id -u)" -eq 0 ]; then
            runuser -u nobody -- "$PG_BIN/pg_ctl" -D "$PG_ORDNER/daten" -m immediate stop >/dev/null 2>&1 || true
        else
            "$PG_BIN/pg_ctl" -D "$PG_ORDNER/daten" -m immediate stop >/dev/null 2>&1 || true
        fi
    fi
    rm -rf "$PG_ORDNER"
    PG_ORDNER=""
}

# Stops and starts the server of the cluster in folder $1 again, on the same port (for a test
# in which the server goes away while the dialog is open).
pg_als_besitzer() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u "$(stat -c %U "$1")" -- "${@:2}"; else "${@:2}"; fi
}
pg_cluster_anhalten() {
    pg_als_besitzer "$1" "$PG_BIN/pg_ctl" -D "$1/daten" -m immediate stop >/dev/null
}
pg_cluster_fortsetzen() {
    pg_als_besitzer "$1" "$PG_BIN/pg_ctl" -D "$1/daten" -l "$1/server.log" -w -t 60 -o "$(cat "$1/optionen")" start >/dev/null
}
