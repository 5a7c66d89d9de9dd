# read_layer_graph(<file>)
#
# Reads the link graph that cmake/RavelleLayers.cmake writes to
# <build>/layers/graph.txt into the caller's scope: layer_rooms (every
# room, one a target), room_<target>_folders, room_<target>_links (the
# rooms on its link line, sorted) and room_at_<folder> (the room that owns
# a folder). Fails when the file is missing or lists no rooms.
macro(read_layer_graph file)
  if(NOT EXISTS "${file}")
    message(FATAL_ERROR "the link graph (${file}) is missing: configure the build first")
  endif()
  file(STRINGS "${file}" graph_lines REGEX "^[^#]")
  if(NOT graph_lines)
    message(FATAL_ERROR "${file} lists no rooms")
  endif()
  set(layer_rooms)
  foreach(graph_line ${graph_lines})
    string(REGEX REPLACE " ~ " ";" graph_fields "${graph_line} ")
    list(GET graph_fields 0 graph_room)
    list(GET graph_fields 1 graph_folders)
    list(GET graph_fields 2 graph_links)
    string(STRIP "${graph_links}" graph_links)
    string(REPLACE " " ";" room_${graph_room}_links "${graph_links}")
    list(SORT room_${graph_room}_links)
    string(REPLACE " " ";" room_${graph_room}_folders "${graph_folders}")
    foreach(graph_folder ${room_${graph_room}_folders})
      set(room_at_${graph_folder} ${graph_room})
    endforeach()
    list(APPEND layer_rooms ${graph_room})
  endforeach()
endmacro()
