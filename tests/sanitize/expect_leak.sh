#!/bin/sh
# Runs a program that loses one block of 4242 bytes on purpose and checks that the leak
# checker reports exactly that block, in the program's own function, and nothing more.
# Usage: expect_leak.sh COMMAND...
out=$("$@" 2>&1)
rc=$?
printf '%s\n' "$out"
if [ "$rc" -eq 0 ]; then
  echo "expect_leak: the program exited 0 although it leaked" >&2
  exit 1
fi
if ! printf '%s\n' "$out" | grep -q 'SUMMARY: AddressSanitizer: 4242 byte(s) leaked in 1 allocation(s)'; then
  echo "expect_leak: the report is not exactly the one block of 4242 bytes" >&2
  exit 1
fi
if ! printf '%s\n' "$out" | grep -q 'in .*leakOnPurpose'; then
  echo "expect_leak: the report does not name the function that leaked" >&2
  exit 1
fi
echo "expect_leak: our own leak is reported, nothing else"
