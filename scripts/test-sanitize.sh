#!/usr/bin/env bash
# Runs the whole test suite of a sanitizer build (make test-sanitize). Any report of
# AddressSanitizer, UndefinedBehaviorSanitizer or LeakSanitizer fails the test that
# caused it. Usage: scripts/test-sanitize.sh BUILD_DIR [JOBS]
set -euo pipefail
build=${1:-build-sanitize}
jobs=${2:-$(nproc)}
here=$(cd "$(dirname "$0")" && pwd)

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_string_checks=1:check_initialization_order=1:detect_stack_use_after_return=1:print_stacktrace=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:report_error_type=1
# Leaks inside system libraries the tests load (fonts, Qt's platform plugins) are not
# ours to fix; the list names each library and why.
export LSAN_OPTIONS=suppressions=$here/sanitize/lsan.supp:print_suppressions=0
export QT_QPA_PLATFORM=offscreen

cd "$build"
ctest --output-on-failure -j "$jobs"
