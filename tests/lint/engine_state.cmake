# Fails when code outside engine/ writes a data member of g_Engine: the
# engine records and applies its state through its own calls (SetCamera,
# SetFillMode, SetLight, EndFrame, ...), so no caller has to remember the
# device call that goes with a value. Tests may still set up a frame rate.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/scan_sources.cmake)
# A member, maybe indexed, then an assignment (not a comparison), an
# increment or a list change.
lint_scan(SKIP "^(build[^/]*|engine|tests)/"
  LINES "g_Engine\\.m_"
  CODE "g_Engine\\.m_[A-Za-z0-9_]+(\\[[^]]*\\])?[ \t]*([-+*/|&]?=[^=]|\\+\\+|--|\\.(push_back|clear|remove)\\()"
  TITLE "g_Engine's members written outside engine/")
