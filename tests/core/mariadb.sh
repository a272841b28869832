#!/usr/bin/env bash
# A throwaway MariaDB server with a small talk-log database, for tests and benchmarks.
# It listens on 127.0.0.1 and on 127.0.0.10 (as 127.000.000.010 the log tests tell
# a decimal reading from an octal one, 127.0.0.8), on the same port.
# Data, logs and the port live in DIR; socket, pid and temporary files in a private
# directory (named in DIR/run), so no other server ever shares a file or a port.
#   mariadb.sh start|stop|resume DIR    fresh server / stop it / start it again on its port
#   mariadb.sh fill DIR N               replace the talk log by N generated rows
#   mariadb.sh sql DIR <FILE            run the statements of FILE on the talk-log database
set -euo pipefail
cmd=${1:-} dir=${2:-}
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop|resume|fill|sql DIR [N]" >&2; exit 2; }
mkdir -p "$dir" && dir=$(cd "$dir" && pwd) && data=$dir/data
run=$(cat "$dir/run" 2>/dev/null || true)
LOG_USER=talklog LOG_PASSWORD=wren  # the console's talk-log account

fail() { echo "mariadb.sh: $*" >&2; exit 1; }
bin() {
  local b; for b in "$@"; do
    command -v "$b" 2>/dev/null && return 0; [ -x "/usr/sbin/$b" ] && { echo "/usr/sbin/$b"; return 0; }
  done; fail "missing program: $*"
}
# Every wait is bounded; filling a million rows may take a while.
client() { timeout "${CLIENT_TIMEOUT:-60}" "$(bin mariadb mysql)" --no-defaults --socket="$run/mysqld.sock" -uroot "$@"; }
port_free() {
  ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && ! (exec 3<>"/dev/tcp/127.0.0.10/$1") 2>/dev/null
}
new_run() { run=$(mktemp -d "${TMPDIR:-/tmp}/zn-mariadb.XXXXXX") && mkdir "$run/tmp" && echo "$run" >"$dir/run"; }
drop_run() { [ -n "$run" ] && rm -rf "$run"; rm -f "$dir/run"; run=; }
running() { local pid; pid=$(cat "$run/mysqld.pid" 2>/dev/null) && kill -0 "$pid" 2>/dev/null; }

# 0 once the server answers, 3 if it quit (its port taken meanwhile, say), 1 after 30 s.
launch() {
  local pid i
  # setsid and closed descriptors: ctest must not wait for the server's output.
  setsid "$(bin mariadbd mysqld)" --no-defaults --user="$(id -un)" --datadir="$data" \
    --tmpdir="$run/tmp" --socket="$run/mysqld.sock" --pid-file="$run/mysqld.pid" --port="$1" \
    --bind-address=127.0.0.1,127.0.0.10 --log-error="$dir/error.log" --skip-name-resolve \
    --innodb-buffer-pool-size=64M --innodb-log-file-size=64M --innodb-flush-log-at-trx-commit=2 \
    --character-set-server=utf8mb4 --collation-server=utf8mb4_general_ci \
    </dev/null >>"$dir/server.out" 2>&1 &
  pid=$!
  for i in $(seq 300); do
    "$(bin mariadb-admin mysqladmin)" --no-defaults --connect-timeout=2 --socket="$run/mysqld.sock" \
      -uroot ping >/dev/null 2>&1 && return 0
    kill -0 "$pid" 2>/dev/null || return 3
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null; return 1
}

stop_server() {
  local pid i
  if pid=$(cat "$run/mysqld.pid" 2>/dev/null) && kill "$pid" 2>/dev/null; then
    for i in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  fi
  drop_run
}

# Another server may take the port between the check and the bind: then try another.
start_fresh() {
  local try port rc
  for try in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 30000))
    port_free "$port" || continue
    echo "$port" >"$dir/port"
    rc=0; launch "$port" || rc=$?
    [ "$rc" -eq 0 ] && return 0
    [ "$rc" -eq 3 ] || break
  done
  tail -n 20 "$dir/error.log" >&2 || true
  fail "server did not come up; see $dir/error.log"
}

# The columns and their order are what the console reads (the user log with "select *":
# id, name, ip, date, content). Every seventh row carries NULL cells; texts are Chinese.
# The talk type is a number, as the server stores it: id % 5 gives every known type.
seed() {
  client <<SQL
CREATE DATABASE talkbacklog CHARACTER SET utf8mb4;
CREATE USER '$LOG_USER'@'127.0.0.1' IDENTIFIED BY '$LOG_PASSWORD';
CREATE USER '$LOG_USER'@'localhost' IDENTIFIED BY '$LOG_PASSWORD';
GRANT ALL ON talkbacklog.* TO '$LOG_USER'@'127.0.0.1';
GRANT ALL ON talkbacklog.* TO '$LOG_USER'@'localhost';
-- The same rights but LOCK TABLES, as a log database set up more narrowly may give.
CREATE USER '${LOG_USER}_nolock'@'127.0.0.1' IDENTIFIED BY '$LOG_PASSWORD';
GRANT ALL ON talkbacklog.* TO '${LOG_USER}_nolock'@'127.0.0.1';
REVOKE LOCK TABLES ON talkbacklog.* FROM '${LOG_USER}_nolock'@'127.0.0.1';
USE talkbacklog;
CREATE TABLE talklog_bak (id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  begin_time DATETIME NULL, end_time DATETIME NULL, callerId INT NULL, calledId INT NULL,
  callerName VARCHAR(64) NULL, calledName VARCHAR(64) NULL, type INT NULL,
  source_name VARCHAR(128) NULL, recordfile VARCHAR(255) NULL) ENGINE=InnoDB;
CREATE TABLE terminallog (id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, date DATETIME NULL,
  terminalId INT NULL, name VARCHAR(64) NULL, type VARCHAR(32) NULL, ip VARCHAR(32) NULL,
  action VARCHAR(128) NULL) ENGINE=InnoDB;
CREATE TABLE userlog (id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, name VARCHAR(64) NULL,
  ip VARCHAR(32) NULL, date DATETIME NULL, content VARCHAR(255) NULL) ENGINE=InnoDB;
INSERT INTO talklog_bak
  SELECT seq, '2026-01-01 08:00:00' + INTERVAL seq MINUTE,
         IF(seq % 7 = 0, NULL, '2026-01-01 08:00:30' + INTERVAL seq MINUTE),
         1000 + seq, IF(seq % 7 = 0, NULL, 2000 + seq),
         CONCAT('主叫', seq), IF(seq % 7 = 0, NULL, CONCAT('被叫', seq)),
         seq % 5, CONCAT('音源', seq),
         IF(seq % 7 = 0, NULL, CONCAT('rec/', seq, '.mp3'))
  FROM seq_1_to_205;
INSERT INTO terminallog
  SELECT seq, '2026-02-01 09:00:00' + INTERVAL seq MINUTE, 100 + seq,
         CONCAT('终端', seq), IF(seq % 7 = 0, NULL, '寻呼话筒'),
         CONCAT('10.0.', seq DIV 200, '.', seq % 200),
         IF(seq % 7 = 0, NULL, IF(seq % 2 = 0, '上线', '下线'))
  FROM seq_1_to_230;
INSERT INTO userlog
  SELECT seq, CONCAT('用户', seq), IF(seq % 7 = 0, NULL, CONCAT('192.168.1.', seq % 250)),
         '2026-03-01 10:00:00' + INTERVAL seq MINUTE,
         IF(seq % 7 = 0, NULL, CONCAT('登录系统 ', seq))
  FROM seq_1_to_250;
SQL
}

case "$cmd" in
  start)
    stop_server
    rm -rf "$data" "$dir/error.log" "$dir/server.out" "$dir/port"
    mkdir -p "$data"
    new_run
    trap stop_server EXIT  # a failed start leaves no server and no private directory
    TMPDIR=$run/tmp timeout 60 "$(bin mariadb-install-db mysql_install_db)" --no-defaults \
      --user="$(id -un)" --datadir="$data" --tmpdir="$run/tmp" --auth-root-authentication-method=normal \
      --skip-test-db >"$dir/install.log" 2>&1 || { cat "$dir/install.log" >&2; fail "install-db failed"; }
    start_fresh
    seed || fail "could not load the sample database"
    trap - EXIT
    echo "MariaDB on 127.0.0.1 and 127.0.0.10, port $(cat "$dir/port"), data in $dir" ;;
  stop) stop_server ;;
  resume)
    running && exit 0
    drop_run; new_run
    port=$(cat "$dir/port" 2>/dev/null) || fail "never started in $dir"
    port_free "$port" || { drop_run; fail "port $port is taken"; }
    launch "$port" || { stop_server; fail "server did not come back; see $dir/error.log"; } ;;
  fill)
    n=${3:?row count}
    CLIENT_TIMEOUT=600 client talkbacklog <<SQL
TRUNCATE TABLE talklog_bak;
INSERT INTO talklog_bak
  SELECT seq, '2026-01-01 08:00:00' + INTERVAL seq SECOND, '2026-01-01 08:00:30' + INTERVAL seq SECOND,
         1000 + seq % 500, 2000 + seq % 500, CONCAT('主叫', seq % 500), CONCAT('被叫', seq % 500),
         seq % 5, CONCAT('音源', seq % 50), CONCAT('rec/', seq, '.mp3')
  FROM seq_1_to_$n;
SQL
    ;;
  sql) client talkbacklog ;;
  *) echo "unknown command: $cmd" >&2; exit 2 ;;
esac
