# Fails when code outside engine/ writes a data member of g_Engine: the
# engine records and applies its state through its own calls (SetCamera,
# SetFillMode, SetLight, EndFrame, ...), so no caller has to remember the
# device call that goes with a value. Tests may still set up a frame rate.
cmake_policy(SET CMP0007 NEW)
file(GLOB_RECURSE sources ${ROOT}/*.cpp ${ROOT}/*.h)
set(offenders)
set(scanned 0)
foreach(f ${sources})
  file(RELATIVE_PATH rel ${ROOT} ${f})
  if(rel MATCHES "^(build[^/]*|engine|tests)/")
    continue()
  endif()
  math(EXPR scanned "${scanned} + 1")
  file(STRINGS ${f} lines REGEX "g_Engine\\.m_")
  foreach(l ${lines})
    string(REGEX REPLACE "//.*" "" code "${l}")
    # A member, maybe indexed, then an assignment (not a comparison), an
    # increment or a list change.
    if(code MATCHES "g_Engine\\.m_[A-Za-z0-9_]+(\\[[^]]*\\])?[ \t]*([-+*/|&]?=[^=]|\\+\\+|--|\\.(push_back|clear|remove)\\()")
      list(APPEND offenders "${rel}: ${l}")
    endif()
  endforeach()
endforeach()
if(scanned EQUAL 0)
  message(FATAL_ERROR "no sources found below ${ROOT}")
endif()
if(offenders)
  list(JOIN offenders "\n" text)
  message(FATAL_ERROR "g_Engine's members written outside engine/:\n${text}")
endif()
