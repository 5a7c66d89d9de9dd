# Fails when any source calls the C library's rand()/srand(): every random
# draw must go through the program's own generator so boards rebuild exactly.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/scan_sources.cmake)
lint_scan(SKIP "^build[^/]*/"
  LINES "(^|[^A-Za-z0-9_])s?rand[ \t]*\\("
  CODE "(^|[^A-Za-z0-9_])s?rand[ \t]*\\("
  TITLE "calls of the C library's rand()/srand()")
