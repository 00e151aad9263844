# Checks the includes of every source file against the layer rules:
#
#   - a layer includes only its own headers and those of the layers below it,
#     in this order: platform < framework < model < materials < analysis_core <
#     elements < supports < loads < analysis < codes < results < graphics <
#     qualification < exchange < app;
#   - a data file (one not in a ui/ folder) never includes a ui/ header;
#   - only platform/qt includes Qt, and of the program only the render view
#     (src/graphics/ui/render_view.cpp) and platform/qt include OpenGL (<GL/...>);
#   - only the backends themselves and the
#     program's main() include a backend's headers (platform/qt/,
#     platform/headless/);
#   - the analysis reads the document only in analysis_model.* and in its
#     window part (files named *_ui.*): no other file of src/analysis calls
#     document(), model(), pipe_materials(), analysis_options() or
#     model_hooks(), so that a run works on its snapshot alone;
#   - tests follow the same rules by the folder they are in (tests/model/ is
#     the model layer); tests/<layer>/data/ holds the data tests, which include
#     no ui/ header and no backend; tests/gui/ may include anything.
#
# Run as: cmake -DSOURCE_DIR=<repository> -P check_layers.cmake
set(LAYERS platform framework model materials analysis_core elements supports loads analysis codes
  results graphics qualification exchange app)

function(layer_rank name out)
  list(FIND LAYERS "${name}" rank)
  set(${out} ${rank} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/tests/*.h ${SOURCE_DIR}/tests/*.cpp)
set(errors "")
foreach(file ${files})
  if(file MATCHES "^(src|tests)/([a-z_]+)/")
    set(tree ${CMAKE_MATCH_1})
    set(own ${CMAKE_MATCH_2})
  else()
    continue()   # tests/golden.h and the like: shared test helpers
  endif()
  if(tree STREQUAL "tests" AND own STREQUAL "gui")
    continue()
  endif()
  layer_rank(${own} own_rank)
  if(own_rank EQUAL -1)
    string(APPEND errors "${file}: not in a known layer folder\n")
    continue()
  endif()
  set(is_ui FALSE)
  if(file MATCHES "/ui/" OR file MATCHES "^src/app/")
    set(is_ui TRUE)   # the program's main() installs every layer
  endif()
  set(is_data_test FALSE)
  if(file MATCHES "^tests/[a-z_]+/data/")
    set(is_data_test TRUE)
  endif()
  set(backend_allowed FALSE)
  if(file MATCHES "^src/platform/(qt|headless)/" OR file MATCHES "^src/app/")
    set(backend_allowed TRUE)
  endif()
  if(tree STREQUAL "tests" AND NOT is_data_test)
    set(backend_allowed TRUE)   # the window tests run on the scripted backend
    set(is_ui TRUE)
  endif()
  if(file MATCHES "^src/analysis/" AND NOT file MATCHES "/analysis_model\\.[a-z]+$" AND NOT file MATCHES "_ui\\.[a-z]+$")
    file(STRINGS ${SOURCE_DIR}/${file} reads REGEX "(^|[^.>_A-Za-z0-9])(document|model|pipe_materials|analysis_options|model_hooks)\\(\\)")
    foreach(line ${reads})
      string(STRIP "${line}" line)
      string(APPEND errors "${file}: reads the document outside analysis_model.* (${line})\n")
    endforeach()
  endif()
  file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${lines})
    if(line MATCHES "#[ \t]*include[ \t]*<GL/")
      if(tree STREQUAL "src" AND NOT file MATCHES "^src/platform/qt/" AND NOT file STREQUAL "src/graphics/ui/render_view.cpp")
        string(APPEND errors "${file}: includes OpenGL outside the render view\n")
      endif()
      continue()
    endif()
    if(line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*)[/>]")
      set(qt_header ${CMAKE_MATCH_1})
      if(NOT file MATCHES "^src/platform/qt/")
        string(APPEND errors "${file}: includes Qt (${qt_header}) outside platform/qt\n")
      endif()
      continue()
    endif()
    if(NOT line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      continue()
    endif()
    set(inc ${CMAKE_MATCH_1})
    if(NOT inc MATCHES "^([a-z_]+)/")
      continue()   # a file beside it, or a test helper
    endif()
    set(inc_layer ${CMAKE_MATCH_1})
    layer_rank(${inc_layer} inc_rank)
    if(inc_rank EQUAL -1)
      continue()
    endif()
    if(inc_rank GREATER own_rank)
      string(APPEND errors "${file}: the ${own} layer includes ${inc} of the higher ${inc_layer} layer\n")
    endif()
    if(inc MATCHES "/ui/" AND NOT is_ui)
      string(APPEND errors "${file}: a data file includes the window header ${inc}\n")
    endif()
    if(inc MATCHES "^platform/(qt|headless)/" AND NOT backend_allowed)
      string(APPEND errors "${file}: includes the backend header ${inc}\n")
    endif()
  endforeach()
endforeach()
if(errors)
  message(FATAL_ERROR "Layer rules broken:\n${errors}")
endif()
