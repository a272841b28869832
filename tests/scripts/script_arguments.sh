#!/usr/bin/env bash
# What each script says for --help and for an argument it does not take, and
# that it starts no work for either: no package check, no build, no test run.
# The programs that work begins with are stand-ins here that note each call
# and fail at once, so a script that does begin ends there, and the note shows
# it. The rows that give arguments a script takes check that its work begins.
#   script_arguments.sh SOURCE_DIR
set -uo pipefail
ROOT=$1
WORK=$(mktemp -d "${TMPDIR:-/tmp}/zn-script-args.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/bin"
# The demo's database too, should run.sh go on where it should not.
for p in dpkg-query apt-get sudo cmake ctest clang++ xvfb-run mariadbd mysqld mariadb-install-db mysql_install_db; do
  printf '#!/bin/sh\necho "%s $*" >>"%s/work"\nexit 42\n' "$p" "$WORK" >"$WORK/bin/$p"
  chmod +x "$WORK/bin/$p"
done

# script | arguments | exit code | usage on (out, err or -) | work begun (no, yes)
ROWS=$(cat <<'TABLE'
test.sh        | --help                                      | 0  | out | no
test.sh        | -h                                          | 0  | out | no
test.sh        | --sanitise                                  | 2  | err | no
test.sh        | --sanitize --quick                          | 2  | err | no
test.sh        | --sanitize                                  | 42 | -   | yes
run.sh         | --help                                      | 0  | out | no
run.sh         | --no-build -h                               | 0  | out | no
run.sh         | --demo                                      | 2  | err | no
run.sh         | -serverip 127.0.0.1 -port 9000              | 2  | err | no
run.sh         | -serverip 127.0.0.1 -user admin -password x -max 0 | 42 | - | yes
run.sh         | -user admin -password                       | 42 | -   | yes
run.sh         | -user admin -password -secret               | 2  | err | no
run.sh         | --no-build -password -secret -user admin    | 2  | err | no
run.sh         | -password -max 1                            | 42 | -   | yes
run.sh         | -user -admin                                | 2  | err | no
run.sh         | -max -1                                     | 2  | err | no
bench.sh       | --help                                      | 0  | out | no
bench.sh       | --no-bulid                                  | 2  | err | no
bench.sh       |                                             | 42 | -   | yes
screenshots.sh | --help                                      | 0  | out | no
screenshots.sh | --sizes                                     | 2  | err | no
screenshots.sh | gallery-a gallery-b                         | 2  | err | no
screenshots.sh | gallery                                     | 42 | -   | yes
fuzz.sh        | --help                                      | 0  | out | no
fuzz.sh        | soon                                        | 2  | err | no
fuzz.sh        | 0                                           | 2  | err | no
fuzz.sh        | 5 fuzz_nothing                              | 2  | err | no
fuzz.sh        | 5 fuzz_replyrows --help                     | 0  | out | no
fuzz.sh        | 5 fuzz_replyrows                            | 42 | -   | yes
deps.sh        | --help                                      | 0  | out | no
deps.sh        | --upgrade                                   | 2  | err | no
deps.sh        | --update                                    | 42 | -   | yes
TABLE
)

passed=0 failed=0
while IFS='|' read -r script args code usage begun; do
  # The cells without the blanks around them.
  for cell in script args code usage begun; do read -r "${cell?}" <<<"${!cell}"; done
  rm -f "$WORK/work"
  # shellcheck disable=SC2086 # the arguments are split at blanks
  (cd "$WORK" && PATH="$WORK/bin:$PATH" BUILD_DIR="$WORK/build" FUZZ_BUILD_DIR="$WORK/build-fuzz" \
    timeout 60 "$ROOT/scripts/$script" $args) \
    >"$WORK/out" 2>"$WORK/err" </dev/null
  rc=$?
  why=()
  [ "$rc" = "$code" ] || why+=("exit code $rc, not $code")
  line="usage: scripts/$script"
  case $usage in
    out)
      head -n 1 "$WORK/out" | grep -q "^$line" || why+=("no usage line first on standard output")
      [ ! -s "$WORK/err" ] || why+=("said on standard error: $(head -n 1 "$WORK/err")")
      ;;
    err)
      grep -q "^$line" "$WORK/err" || why+=("no usage line on standard error")
      [ ! -s "$WORK/out" ] || why+=("said on standard output: $(head -n 1 "$WORK/out")")
      ;;
  esac
  # A refusal never shows the value given after -password.
  secret=$(sed -n 's/.*-password \([^ ]*\).*/\1/p' <<<"$args")
  if [ "$code" = 2 ] && [ -n "$secret" ] && grep -qF -- "$secret" "$WORK/out" "$WORK/err"; then
    why+=("showed the password")
  fi
  if [ "$begun" = yes ]; then
    [ -s "$WORK/work" ] || why+=("its work did not begin")
  elif [ -s "$WORK/work" ]; then
    why+=("began its work: $(head -n 1 "$WORK/work")")
  fi
  if [ ${#why[@]} -eq 0 ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: scripts/$script $args: $(printf '%s; ' "${why[@]}")"
  fi
done <<<"$ROWS"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
