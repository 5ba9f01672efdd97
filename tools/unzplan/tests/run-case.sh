#!/usr/bin/env bash
# Runs unzplan for one case and compares its output with the case's files.
#   run-case.sh CASE COMMAND...   (COMMAND runs the tool, e.g. through Wine)
# Line ends are compared without carriage returns, so a Windows build of
# the tool is held to the same expectations.
#   cases/NAME.args      arguments, one per line (run inside data/)
#   cases/NAME.expected  standard output
#   cases/NAME.stderr    standard error (optional: none expected without it)
#   cases/NAME.status    exit status (optional: 0 without it)
set -u
case_name=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
cases=$here/cases

mapfile -t arguments < "$cases/$case_name.args"
actual_out=$(mktemp)
actual_err=$(mktemp)
trap 'rm -f "$actual_out" "$actual_err"' EXIT

(cd "$here/data" && "$@" "${arguments[@]}" >"$actual_out" 2>"$actual_err")
status=$?
sed -i 's/\r$//' "$actual_out" "$actual_err"

expected_status=0
[ -f "$cases/$case_name.status" ] && expected_status=$(cat "$cases/$case_name.status")
failed=0
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"
  failed=1
fi
if ! diff -u "$cases/$case_name.expected" "$actual_out"; then
  failed=1
fi
expected_err=/dev/null
[ -f "$cases/$case_name.stderr" ] && expected_err=$cases/$case_name.stderr
if ! diff -u "$expected_err" "$actual_err"; then
  failed=1
fi
exit $failed
