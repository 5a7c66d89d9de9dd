# Fails when code outside tests/ and bench/ does more with a test-access
# struct than declare it and name it its class's friend. The compiler keeps
# a class's private state to the class and its friend, but it cannot tell
# where the friend is defined: any file may define a struct of that name
# and reach the insides. The struct lives in a header under tests/ (docs/
# ARCHITECTURE.md, "Test access"); elsewhere the name is only followed by
# the semicolon of `struct XTestAccess;` or `friend struct XTestAccess;`.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/scan_sources.cmake)
lint_scan(SKIP "^(build[^/]*|tests|bench)/"
  LINES "TestAccess"
  CODE "TestAccess([ \t]*[^; \t]|[ \t]*$)"
  TITLE "test-access structs defined or used outside tests/ and bench/")
