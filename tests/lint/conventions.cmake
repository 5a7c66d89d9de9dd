# docs/CONVENTIONS.md agrees with the code where a machine can tell:
#   - each class of its table of known exceptions is declared in the file
#     the table names (the table went stale when files moved);
#   - no test writes a demo picture straight into <build>/demo/, outside a
#     topic folder (demo/dialogs/, demo/scenes/, ...); the testkit's
#     SaveDemoPicture, which refuses an empty topic, is the one place that
#     joins the folder and the topic.
# -DROOT=<source tree>
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/scan_sources.cmake)

set(doc ${ROOT}/docs/CONVENTIONS.md)
file(STRINGS ${doc} rows REGEX "^\\| `[A-Za-z0-9_]+` \\| `[^`]+` \\|")
if(NOT rows)
  message(FATAL_ERROR "${doc}: no table of known exceptions found")
endif()
set(stale)
foreach(row ${rows})
  string(REGEX REPLACE "^\\| `([A-Za-z0-9_]+)` \\| `([^`]+)` \\|.*" "\\1;\\2" fields "${row}")
  list(GET fields 0 name)
  list(GET fields 1 path)
  if(NOT EXISTS ${ROOT}/${path})
    list(APPEND stale "${name}: ${path} does not exist")
    continue()
  endif()
  file(STRINGS ${ROOT}/${path} declared REGEX "(class|struct) ${name}( |$|:|\\{|;)")
  if(NOT declared)
    list(APPEND stale "${name}: not declared in ${path}")
  endif()
endforeach()
if(stale)
  list(JOIN stale "\n" text)
  message(FATAL_ERROR "docs/CONVENTIONS.md's known exceptions name the wrong files:\n${text}")
endif()

lint_scan(SKIP "^(build[^/]*/|tests/testkit/demo_picture\\.cpp$)"
  LINES "/\\.\\./demo"
  CODE "/\\.\\./demo/?\""
  TITLE "demo pictures written outside a topic folder of <build>/demo/ (docs/CONVENTIONS.md)")
