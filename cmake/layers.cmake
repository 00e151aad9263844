# The layer libraries and the build step that checks their includes.
#
# kv_layer(NAME DIR folder [DEPS libraries...]) makes the static library
# kv_NAME of the .cpp files directly in `folder` (not its subfolders: a
# layer's ui/ folder is a library of its own).

set(KV_LAYER_SOURCES "" CACHE INTERNAL "")

function(kv_layer name)
  cmake_parse_arguments(L "" "DIR" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${L_DIR}/*.cpp)
  add_library(kv_${name} STATIC ${sources})
  target_include_directories(kv_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  if(L_DEPS)
    target_link_libraries(kv_${name} PUBLIC ${L_DEPS})
  endif()
endfunction()

# The include check runs before every library is compiled, so that a wrong
# include fails the build at once with a message naming the file and line.
function(kv_layer_check)
  file(GLOB_RECURSE checked CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/*.h ${CMAKE_SOURCE_DIR}/src/*.cpp
    ${CMAKE_SOURCE_DIR}/tests/*.h ${CMAKE_SOURCE_DIR}/tests/*.cpp)
  set(stamp ${CMAKE_BINARY_DIR}/layer_check.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${checked} ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
    COMMENT "Checking the layers' includes" VERBATIM)
  add_custom_target(layer_check DEPENDS ${stamp})
  get_property(targets DIRECTORY ${CMAKE_SOURCE_DIR} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t ${targets})
    if(t MATCHES "^kv_")
      add_dependencies(${t} layer_check)
    endif()
  endforeach()
endfunction()
