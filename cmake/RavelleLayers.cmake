# The layer rule held by the compiler (docs/ARCHITECTURE.md, "The layers").
#
# The link lines are the layer table: a room (one target and its folders)
# may include the headers of the rooms on its own link line, and no others.
#
# No target puts the source tree on its include path. Each room publishes
# its headers through an include root of its own in the build tree,
# <build>/layers/<target>/, which holds a symbolic link per header under the
# header's source path: engine's root holds engine/engine.h,
# engine/camera.h, ..., and nothing else. The root is a PUBLIC include
# directory, so "engine/engine.h" resolves for the targets that link engine
# (directly or through a PUBLIC link). For every header a room cannot reach
# so, its refusal root, <build>/layers/<target>.refused/, holds a stub that
# stops the compile with "layer rule: <room> may not include <header>".
#
# What a link line cannot say (a room reached only through another's PUBLIC
# link, Qt or OpenAL only in .cpp files, relative includes) is the lint's
# part: tests/lint/layers.cmake, which reads the link graph this file writes
# to <build>/layers/graph.txt.
#
# ravelle_layer_headers(<target> [FOLDERS <folder>...])
#   Makes <target> a room. FOLDERS: source folders (relative to the top)
#   whose headers the target owns; default: the folder of the calling
#   CMakeLists.txt. Only the folder's own headers, not its subfolders'
#   (those are rooms of their own). A new header is found at the next build
#   (the folder listing is a configure dependency).
# ravelle_layer_rule()
#   Called once after every room's link line: writes the link graph and the
#   refusal roots.
function(ravelle_layer_headers target)
  cmake_parse_arguments(arg "" "" "FOLDERS" ${ARGN})
  if(NOT arg_FOLDERS)
    file(RELATIVE_PATH arg_FOLDERS ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${root})
  set(owned)
  foreach(folder ${arg_FOLDERS})
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
    file(MAKE_DIRECTORY ${root}/${folder})
    foreach(header ${headers})
      get_filename_component(name ${header} NAME)
      file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
      list(APPEND owned ${folder}/${name})
    endforeach()
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
  set_property(GLOBAL APPEND PROPERTY RAVELLE_ROOMS ${target})
  set_property(GLOBAL PROPERTY RAVELLE_ROOM_FOLDERS_${target} ${arg_FOLDERS})
  set_property(GLOBAL PROPERTY RAVELLE_ROOM_HEADERS_${target} ${owned})
endfunction()

# The rooms whose headers `room` compiles against: those on its link line
# and, from each of them on, those linked PUBLIC.
function(ravelle_rooms_reached room rooms out)
  get_target_property(todo ${room} LINK_LIBRARIES)
  set(reached ${room})
  while(todo)
    list(POP_FRONT todo next)
    if(next IN_LIST rooms AND NOT next IN_LIST reached)
      list(APPEND reached ${next})
      get_target_property(more ${next} INTERFACE_LINK_LIBRARIES)
      if(more)
        list(APPEND todo ${more})
      endif()
    endif()
  endwhile()
  set(${out} ${reached} PARENT_SCOPE)
endfunction()

function(ravelle_layer_rule)
  get_property(rooms GLOBAL PROPERTY RAVELLE_ROOMS)
  set(graph "# <room> ~ <its folders> ~ <the rooms on its link line>, written by cmake/RavelleLayers.cmake\n")
  foreach(room ${rooms})
    get_property(folders GLOBAL PROPERTY RAVELLE_ROOM_FOLDERS_${room})
    get_target_property(links ${room} LINK_LIBRARIES)
    set(linked)
    foreach(link ${links})
      if(link IN_LIST rooms)
        list(APPEND linked ${link})
      endif()
    endforeach()
    list(JOIN folders " " folders)
    list(JOIN linked " " linked)
    string(APPEND graph "${room} ~ ${folders} ~ ${linked}\n")

    ravelle_rooms_reached(${room} "${rooms}" reached)
    set(refused ${CMAKE_BINARY_DIR}/layers/${room}.refused)
    file(REMOVE_RECURSE ${refused})
    foreach(other ${rooms})
      if(other IN_LIST reached)
        continue()
      endif()
      get_property(headers GLOBAL PROPERTY RAVELLE_ROOM_HEADERS_${other})
      foreach(header ${headers})
        file(WRITE ${refused}/${header}
          "#error \"layer rule: ${room} may not include ${header} (${other} is not on its link line); see docs/ARCHITECTURE.md, The layers\"\n")
      endforeach()
    endforeach()
    file(MAKE_DIRECTORY ${refused})
    target_include_directories(${room} PRIVATE ${refused})
  endforeach()
  file(WRITE ${CMAKE_BINARY_DIR}/layers/graph.txt "${graph}")
endfunction()
