# The layer libraries and the build step that checks their includes.
#
# kv_layer(NAME DIR folder [DEPS libraries...]) makes the static library
# kv_NAME of the .cpp files directly in `folder` (not its subfolders: a
# layer's ui/ folder is a library of its own).

# The standard headers nearly every unit includes, compiled once. Only
# headers that never change go here: a project header in the precompiled
# header would rebuild every unit when it is touched. Debug builds only (the
# test configuration): with GCC 12 at -O2 and above, standard headers that
# come through the precompiled header raise false string-overflow warnings.
if(CMAKE_BUILD_TYPE STREQUAL "Debug")
  set(KV_PCH_DEFAULT ON)
else()
  set(KV_PCH_DEFAULT OFF)
endif()
option(KV_PCH "Precompile the standard headers" ${KV_PCH_DEFAULT})
set(KV_PRECOMPILED_HEADERS
  <algorithm> <array> <cmath> <cstddef> <cstdint> <cstdio> <cstring> <functional> <map>
  <memory> <optional> <set> <string> <string_view> <unordered_map> <utility> <vector>)

# kv_layer(NAME DIR folder [DEPS libraries...] [OWN_PCH])
function(kv_layer name)
  cmake_parse_arguments(L "OWN_PCH" "DIR" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${L_DIR}/*.cpp)
  add_library(kv_${name} STATIC ${sources})
  target_include_directories(kv_${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  if(L_DEPS)
    target_link_libraries(kv_${name} PUBLIC ${L_DEPS})
  endif()
  # The layers share one precompiled header (they compile with the same
  # flags); a layer with flags of its own (Qt's) makes its own.
  if(NOT KV_PCH)
  elseif(name STREQUAL "platform" OR L_OWN_PCH)
    target_precompile_headers(kv_${name} PRIVATE ${KV_PRECOMPILED_HEADERS})
  else()
    target_precompile_headers(kv_${name} REUSE_FROM kv_platform)
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
