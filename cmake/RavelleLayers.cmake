# The layer rule held by the compiler (docs/ARCHITECTURE.md, "The layers").
#
# No target puts the source tree on its include path. Each library target
# owns the headers of its room and publishes them through an include root of
# its own in the build tree, <build>/layers/<target>/, which holds a symbolic
# link per header under the header's source path: engine's root holds
# engine/engine.h, engine/camera.h, ..., and nothing else. The root is a
# PUBLIC include directory, so "engine/engine.h" resolves exactly for the
# targets that link engine (directly or through a PUBLIC link); anywhere else
# it does not compile. What a link line cannot say (a layer reached only
# through another's PUBLIC headers, Qt or OpenAL in headers, relative
# includes) is the lint's part: tests/lint/layers.cmake.
#
# ravelle_layer_headers(<target> [FOLDERS <folder>...])
#   FOLDERS  source folders (relative to the top) whose headers the target
#            owns; default: the folder of the calling CMakeLists.txt. Only
#            the folder's own headers, not its subfolders' (those are rooms
#            of their own).
# A new header is found at the next build (the folder listing is a
# configure dependency).
function(ravelle_layer_headers target)
  cmake_parse_arguments(arg "" "" "FOLDERS" ${ARGN})
  if(NOT arg_FOLDERS)
    file(RELATIVE_PATH arg_FOLDERS ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${root})
  foreach(folder ${arg_FOLDERS})
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
    file(MAKE_DIRECTORY ${root}/${folder})
    foreach(header ${headers})
      get_filename_component(name ${header} NAME)
      file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
    endforeach()
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
