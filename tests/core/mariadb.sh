#!/usr/bin/env bash
# A throwaway MariaDB server holding a small talk-log database, for the tests and
# benchmarks. Everything lives in DIR: data, socket, pid, log and the chosen port.
#
#   mariadb.sh start DIR     fresh server on 127.0.0.1 with the sample database
#   mariadb.sh stop DIR      stop it (the data stays until the next start)
#   mariadb.sh resume DIR    start the stopped server again on the same port
#   mariadb.sh fill DIR N    replace the talk log by N generated rows
#   mariadb.sh sql DIR       run SQL from standard input as root
set -euo pipefail

cmd=${1:-}
dir=${2:-}
if [ -z "$cmd" ] || [ -z "$dir" ]; then
  echo "usage: $0 start|stop|resume|fill|sql DIR [N]" >&2
  exit 2
fi
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
data=$dir/data
sock=$dir/mysqld.sock
pidf=$dir/mysqld.pid

# Must match the account and password that the console's talk-log connection uses.
LOG_USER=talklog
LOG_PASSWORD=wren

find_bin() {
  for b in "$@"; do
    if command -v "$b" >/dev/null 2>&1; then command -v "$b"; return 0; fi
    if [ -x "/usr/sbin/$b" ]; then echo "/usr/sbin/$b"; return 0; fi
  done
  echo "missing program: $*" >&2
  return 1
}

client() {
  "$(find_bin mariadb mysql)" --no-defaults --socket="$sock" -uroot "$@"
}

running() {
  [ -f "$pidf" ] && kill -0 "$(cat "$pidf")" 2>/dev/null
}

port_free() {
  ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

pick_port() {
  local p i
  for i in $(seq 1 200); do
    p=$((20000 + RANDOM % 30000))
    if port_free "$p"; then echo "$p"; return 0; fi
  done
  echo "no free port found" >&2
  return 1
}

launch() {
  local port
  port=$(cat "$dir/port")
  if ! port_free "$port"; then
    echo "port $port is taken" >&2
    return 1
  fi
  # setsid and closed descriptors: ctest must not wait for the server's output.
  setsid "$(find_bin mariadbd mysqld)" --no-defaults --user="$(id -un)" \
    --datadir="$data" --socket="$sock" --pid-file="$pidf" \
    --port="$port" --bind-address=127.0.0.1 --log-error="$dir/error.log" \
    --skip-name-resolve --innodb-buffer-pool-size=64M --innodb-log-file-size=64M \
    --innodb-flush-log-at-trx-commit=2 --character-set-server=utf8mb4 \
    --collation-server=utf8mb4_general_ci \
    </dev/null >>"$dir/server.out" 2>&1 &
  local i
  for i in $(seq 1 300); do
    if "$(find_bin mariadb-admin mysqladmin)" --no-defaults --socket="$sock" -uroot \
        ping >/dev/null 2>&1; then
      return 0
    fi
    sleep 0.1
  done
  echo "server did not come up; see $dir/error.log" >&2
  tail -n 20 "$dir/error.log" >&2 || true
  return 1
}

stop_server() {
  running || { rm -f "$pidf"; return 0; }
  local pid i
  pid=$(cat "$pidf")
  kill "$pid" 2>/dev/null || true
  for i in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || { rm -f "$pidf"; return 0; }
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  rm -f "$pidf"
}

# The columns and their order are what the console reads: the user log is read
# with "select *", so its column order is id, name, ip, date, content.
# Every seventh row carries NULL cells; texts are Chinese.
seed() {
  client <<SQL
CREATE DATABASE talkbacklog CHARACTER SET utf8mb4;
CREATE USER '$LOG_USER'@'127.0.0.1' IDENTIFIED BY '$LOG_PASSWORD';
CREATE USER '$LOG_USER'@'localhost' IDENTIFIED BY '$LOG_PASSWORD';
GRANT ALL ON talkbacklog.* TO '$LOG_USER'@'127.0.0.1';
GRANT ALL ON talkbacklog.* TO '$LOG_USER'@'localhost';
USE talkbacklog;
CREATE TABLE talklog_bak (
  id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  begin_time DATETIME NULL,
  end_time DATETIME NULL,
  callerId INT NULL,
  calledId INT NULL,
  callerName VARCHAR(64) NULL,
  calledName VARCHAR(64) NULL,
  type VARCHAR(32) NULL,
  source_name VARCHAR(128) NULL,
  recordfile VARCHAR(255) NULL
) ENGINE=InnoDB;
CREATE TABLE terminallog (
  id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  date DATETIME NULL,
  terminalId INT NULL,
  name VARCHAR(64) NULL,
  type VARCHAR(32) NULL,
  ip VARCHAR(32) NULL,
  action VARCHAR(128) NULL
) ENGINE=InnoDB;
CREATE TABLE userlog (
  id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  name VARCHAR(64) NULL,
  ip VARCHAR(32) NULL,
  date DATETIME NULL,
  content VARCHAR(255) NULL
) ENGINE=InnoDB;
INSERT INTO talklog_bak
  SELECT seq,
         '2026-01-01 08:00:00' + INTERVAL seq MINUTE,
         IF(seq % 7 = 0, NULL, '2026-01-01 08:00:30' + INTERVAL seq MINUTE),
         1000 + seq, IF(seq % 7 = 0, NULL, 2000 + seq),
         CONCAT('主叫', seq), IF(seq % 7 = 0, NULL, CONCAT('被叫', seq)),
         IF(seq % 2 = 0, '对讲', '广播'), CONCAT('音源', seq),
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
    rm -rf "$data" "$dir/error.log" "$dir/server.out"
    mkdir -p "$data"
    "$(find_bin mariadb-install-db mysql_install_db)" --no-defaults --user="$(id -un)" \
      --datadir="$data" --auth-root-authentication-method=normal --skip-test-db \
      >"$dir/install.log" 2>&1 || { cat "$dir/install.log" >&2; exit 1; }
    pick_port >"$dir/port"
    launch
    seed
    echo "MariaDB on 127.0.0.1:$(cat "$dir/port"), data in $dir"
    ;;
  stop)
    stop_server
    ;;
  resume)
    running || launch
    ;;
  fill)
    n=${3:?row count}
    client talkbacklog <<SQL
TRUNCATE TABLE talklog_bak;
INSERT INTO talklog_bak
  SELECT seq, '2026-01-01 08:00:00' + INTERVAL seq SECOND,
         '2026-01-01 08:00:30' + INTERVAL seq SECOND,
         1000 + seq % 500, 2000 + seq % 500,
         CONCAT('主叫', seq % 500), CONCAT('被叫', seq % 500),
         IF(seq % 2 = 0, '对讲', '广播'), CONCAT('音源', seq % 50),
         CONCAT('rec/', seq, '.mp3')
  FROM seq_1_to_$n;
SQL
    ;;
  sql)
    client talkbacklog
    ;;
  *)
    echo "unknown command: $cmd" >&2
    exit 2
    ;;
esac
