# Fails when a source breaks the layer rule of docs/ARCHITECTURE.md:
#   - engine/, puzzle/, sound/ and saver/scenes/ include no Qt, OpenAL or GL
#     header (they run on the device interface alone and build anywhere);
#   - a layer includes nothing of the layers above it;
#   - only tests, benchmarks and tools include the recording device;
#   - the game and the screen saver never include each other.
# With -DPRODUCTS=<file|file...> it also fails when a shipped program carries
# the recording device (found by its symbols).
set(rules
  # folder (regex on the path)    forbidden include (regex on the quoted or angled name)
  "^(engine|puzzle|sound|saver/scenes)/"  "^<(Q[A-Za-z]*|Qt[A-Za-z]*/.*|AL/.*|GL/.*|epoxy/.*)>$"
  "^platform/"                     "^\"(support|resources|engine|sound|puzzle|game|saver)/"
  "^support/"                      "^\"(resources|engine|sound|puzzle|game|saver)/"
  "^resources/"                    "^\"(engine|sound|puzzle|game|saver)/"
  "^engine/"                       "^\"(resources|sound|puzzle|game|saver)/"
  "^sound/"                        "^\"(resources|engine|puzzle|game|saver)/"
  "^puzzle/"                       "^\"(resources|sound|game|saver)/"
  "^((engine|puzzle|sound)/|support/[^/]+$)" "^\"(platform/d3d9/gl|support/controls)/"
  "^game/"                         "^\"saver/"
  "^saver/"                        "^\"game/"
  "^(platform|support|resources|engine|sound|puzzle|game|saver)/" "^\"platform/d3d9/recording/"
)

file(GLOB_RECURSE sources ${ROOT}/*.cpp ${ROOT}/*.h)
set(offenders)
set(scanned 0)
foreach(f ${sources})
  file(RELATIVE_PATH rel ${ROOT} ${f})
  if(rel MATCHES "^build[^/]*/")
    continue()
  endif()
  if(rel MATCHES "^platform/d3d9/recording/")
    continue()  # the recording device may include itself
  endif()
  math(EXPR scanned "${scanned} + 1")
  file(STRINGS ${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"][^>\"]*[>\"]).*" "\\1" name "${line}")
    set(i 0)
    list(LENGTH rules n)
    while(i LESS n)
      list(GET rules ${i} folder)
      math(EXPR j "${i} + 1")
      list(GET rules ${j} forbidden)
      if(rel MATCHES "${folder}" AND name MATCHES "${forbidden}")
        list(APPEND offenders "${rel}: ${name}")
      endif()
      math(EXPR i "${i} + 2")
    endwhile()
  endforeach()
endforeach()
if(scanned EQUAL 0)
  message(FATAL_ERROR "no sources found below ${ROOT}")
endif()

string(REPLACE "|" ";" PRODUCTS "${PRODUCTS}")
foreach(program ${PRODUCTS})
  execute_process(COMMAND nm -C ${program} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed ERROR_QUIET)
  if(failed)
    list(APPEND offenders "${program}: cannot be read with nm")
  elseif(symbols MATCHES "RecordingScript::|RecordingWindow::|Direct3DCreate9Recording")
    list(APPEND offenders "${program}: carries the recording device")
  endif()
endforeach()

if(offenders)
  list(REMOVE_DUPLICATES offenders)
  list(JOIN offenders "\n" text)
  message(FATAL_ERROR "layer rule broken:\n${text}")
endif()
