# lint_scan(SKIP <path regex> LINES <line regex> CODE <code regex> TITLE <text>)
#
# Scans every .cpp and .h below ROOT whose path relative to ROOT does not
# match SKIP: the lines that match LINES are taken, their // comments cut
# off, and each that still matches CODE is an offender. Fails with TITLE and
# the offenders, or when no source was scanned at all (a wrong ROOT).
function(lint_scan)
  cmake_parse_arguments(PARSE_ARGV 0 L "" "SKIP;LINES;CODE;TITLE" "")
  file(GLOB_RECURSE sources ${ROOT}/*.cpp ${ROOT}/*.h)
  set(offenders)
  set(scanned 0)
  foreach(f ${sources})
    # Build folders are skipped by their place inside the checkout, so a
    # checkout that itself lies below a folder named build... is still scanned.
    file(RELATIVE_PATH rel ${ROOT} ${f})
    if(rel MATCHES "${L_SKIP}")
      continue()
    endif()
    math(EXPR scanned "${scanned} + 1")
    file(STRINGS ${f} lines REGEX "${L_LINES}")
    foreach(l ${lines})
      string(REGEX REPLACE "//.*" "" code "${l}")
      if(code MATCHES "${L_CODE}")
        list(APPEND offenders "${rel}: ${l}")
      endif()
    endforeach()
  endforeach()
  if(scanned EQUAL 0)
    message(FATAL_ERROR "no sources found below ${ROOT}")
  endif()
  if(offenders)
    list(JOIN offenders "\n" text)
    message(FATAL_ERROR "${L_TITLE}:\n${text}")
  endif()
endfunction()
