cmake_policy(SET CMP0007 NEW)
# Fails when a program source opens a file for reading another way than the
# non-blocking data-file opener (OpenDataFile / ReadDataFile, or a QFile
# opened on its descriptor). A file from outside may be a named pipe (Qt or
# the C++ library would wait for a writer forever), a device or a huge file;
# the opener refuses those at once. The rule also holds where Qt would open
# the file for us: a QSettings, QImage, QPixmap, QIcon or QImageReader built
# on a file name, and a text browser that loads its own pages.
#
# Allowed: the opener itself (platform/data_file.cpp), writers (QSaveFile,
# std::ofstream, ::open with O_WRONLY), built-in ":/" files
# (platform/resource_file.cpp refuses any other path), and the profile's
# QSettings, which only ever sees the descriptor the opener opened or a
# private copy (m_opened).
set(rule "every file from outside is opened through OpenDataFile/ReadDataFile (platform/data_file.h)")
set(checks
  # what the line may not hold                      unless it holds        what it is
  "QFile[ \t]*[({]"                                  "-"                   "a QFile on a name"
  "QFile[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]*[({]"      "-"                   "a QFile on a name"
  "QImageReader[ \t]*[({][ \t]*[^&) \t]"             "-"                   "a QImageReader on a name"
  "QImageReader[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]*[({][ \t]*[^&) \t]" "-"   "a QImageReader on a name"
  "(QImage|QPixmap|QIcon|QMovie)([ \t]+[A-Za-z_][A-Za-z0-9_]*)?[ \t]*[({][ \t]*(QString::|Q\\(|\"[^:])" "-" "a picture built from a file name"
  "[.>]load[ \t]*\\("                                 "-"                   "a load() of a file by name (read the bytes, then loadFromData)"
  "QSettings[ \t]*>?[ \t]*[({]"                       "m_opened"          "a QSettings on a file (it reads the file in its constructor)"
  "QSettings[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]*[({]"  "-"                   "a QSettings on a file (it reads the file in its constructor)"
  "std::(ifstream|fstream|basic_ifstream)"           "-"                   "a C++ stream opened for reading"
  "(^|[^A-Za-z0-9_])f(re)?open[ \t]*\\("              "-"                   "fopen"
  "::open[ \t]*\\("                                    "O_WRONLY"           "::open for reading"
)
# Files allowed one kind of reader, by a regex on the path and the kind.
set(allowed
  "^platform/data_file\\.cpp$"      "::open for reading"
  "^platform/resource_file\\.cpp$"  "a QFile on a name"
)

file(GLOB_RECURSE sources ${ROOT}/*.cpp ${ROOT}/*.h)
set(offenders)
set(scanned 0)
foreach(f ${sources})
  file(RELATIVE_PATH rel ${ROOT} ${f})
  if(NOT rel MATCHES "^(engine|game|platform|puzzle|resources|saver|sound|support)/")
    continue()  # tests, benchmarks, the build-time data tool and build folders
  endif()
  math(EXPR scanned "${scanned} + 1")
  # One list element per line: the characters a CMake list treats specially
  # are masked first.
  file(READ ${f} content)
  string(REPLACE ";" "<semicolon>" content "${content}")
  string(REPLACE "[" "<open>" content "${content}")
  string(REPLACE "]" "<close>" content "${content}")
  string(REPLACE "\\" "<backslash>" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")
  set(browses OFF)
  set(loads OFF)
  foreach(l ${lines})
    string(REGEX REPLACE "//.*" "" code "${l}")
    if(code MATCHES "setSource[ \t]*\\(")
      set(browses ON)
    endif()
    if(code MATCHES "QVariant[ \t]+([A-Za-z_:]+::)?loadResource[ \t]*\\(")
      set(loads ON)
    endif()
    set(i 0)
    list(LENGTH checks n)
    while(i LESS n)
      list(GET checks ${i} forbidden)
      math(EXPR j "${i} + 1")
      math(EXPR k "${i} + 2")
      list(GET checks ${j} unless)
      list(GET checks ${k} what)
      math(EXPR i "${i} + 3")
      if(NOT code MATCHES "${forbidden}")
        continue()
      endif()
      if(NOT unless STREQUAL "-" AND code MATCHES "${unless}")
        continue()
      endif()
      set(exempt OFF)
      set(a 0)
      list(LENGTH allowed m)
      while(a LESS m)
        list(GET allowed ${a} path)
        math(EXPR b "${a} + 1")
        list(GET allowed ${b} kind)
        math(EXPR a "${a} + 2")
        if(rel MATCHES "${path}" AND what STREQUAL kind)
          set(exempt ON)
        endif()
      endwhile()
      if(NOT exempt)
        string(STRIP "${l}" shown)
        string(REPLACE "<semicolon>" "" shown "${shown}")
        string(REPLACE "<backslash>" "\\" shown "${shown}")
        list(APPEND offenders "${rel}: ${what}: ${shown}")
      endif()
    endwhile()
  endforeach()
  # A text browser opens its pages and their pictures itself unless it
  # reads them in its own loadResource.
  if(browses AND NOT loads)
    list(APPEND offenders "${rel}: a text browser that loads its pages itself (override loadResource)")
  endif()
endforeach()
if(scanned EQUAL 0)
  message(FATAL_ERROR "no sources found below ${ROOT}")
endif()
if(offenders)
  list(REMOVE_DUPLICATES offenders)
  list(JOIN offenders "\n" text)
  message(FATAL_ERROR "file readers that bypass the opener (${rule}):\n${text}")
endif()
