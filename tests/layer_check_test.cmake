# The layer check (cmake/check_layers.cmake) on small trees: one that keeps
# the rules passes, and each tree that breaks one fails with its message.
#
# Run as: cmake -DSOURCE_DIR=<repository> -DWORK_DIR=<scratch folder> -P layer_check_test.cmake
set(failures "")

# check(NAME EXPECT file1 text1 [file2 text2 ...]): EXPECT is "pass" or the
# text the failure must show.
function(check name expect)
  set(root ${WORK_DIR}/layer_check/${name})
  file(REMOVE_RECURSE ${root})
  set(args ${ARGN})
  list(LENGTH args n)
  math(EXPR last "${n} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET args ${i} path)
    list(GET args ${j} text)
    file(WRITE ${root}/${path} "${text}\n")
  endforeach()
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${root} -P ${SOURCE_DIR}/cmake/check_layers.cmake
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX REPLACE "[ \t\r\n]+" " " said "${out}${err}")
  if(expect STREQUAL "pass")
    if(NOT result EQUAL 0)
      set(failures "${failures}${name}: refused a tree that keeps the rules: ${said}\n" PARENT_SCOPE)
    endif()
  elseif(result EQUAL 0)
    set(failures "${failures}${name}: passed a tree that breaks a rule\n" PARENT_SCOPE)
  else()
    string(FIND "${said}" "${expect}" at)
    if(at EQUAL -1)
      set(failures "${failures}${name}: expected \"${expect}\" in: ${said}\n" PARENT_SCOPE)
    endif()
  endif()
endfunction()

check(sound pass
  src/model/a.cpp "#include \"model/b.h\"\n#include \"framework/errors.h\"\n#include <vector>"
  src/model/ui/w.cpp "#include \"model/a.h\"\n#include \"framework/ui/frame.h\""
  src/platform/qt/q.cpp "#include <QWidget>"
  src/app/main.cpp "#include \"platform/qt/qt_backend.h\"\n#include \"materials/ui/x.h\""
  tests/model/data/t.cpp "#include \"model/a.h\""
  tests/model/w_test.cpp "#include \"platform/headless/headless_backend.h\"")
check(upward "the model layer includes materials/pipe_material.h of the higher materials layer"
  src/model/a.cpp "#include \"materials/pipe_material.h\"")
check(data_to_window "a data file includes the window header model/ui/layout_window.h"
  src/model/a.cpp "#include \"model/ui/layout_window.h\"")
check(qt_outside_its_backend "includes Qt (QString) outside platform/qt"
  src/framework/a.cpp "#include <QString>")
check(backend_in_a_layer "includes the backend header platform/qt/qt_backend.h"
  src/framework/ui/a.cpp "#include \"platform/qt/qt_backend.h\"")
check(backend_in_a_data_test "includes the backend header platform/headless/headless_backend.h"
  tests/model/data/t.cpp "#include \"platform/headless/headless_backend.h\"")
check(window_header_in_a_data_test "a data file includes the window header framework/ui/frame.h"
  tests/materials/data/t.cpp "#include \"framework/ui/frame.h\"")
check(opengl_in_the_render_view pass
  src/graphics/ui/render_view.cpp "#include <GL/gl.h>")
check(opengl_outside_the_render_view "includes OpenGL outside the render view"
  src/graphics/ui/other.cpp "#include <GL/gl.h>")
check(unknown_folder "not in a known layer folder"
  src/widgets/a.cpp "int a;")
check(analysis_reads_its_snapshot pass
  src/analysis/analysis_model.cpp "int a = model().numrows();"
  src/analysis/ui/analyze_ui.cpp "int b = document().modified;"
  src/analysis/driver.cpp "int c = run.snapshot().numrows() + snapshot->model().x;")
check(analysis_reads_the_document "src/analysis/driver.cpp: reads the document outside analysis_model.*"
  src/analysis/driver.cpp "double t = analysis_options().reference_temperature;")

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
message(STATUS "layer check: 10 trees as expected")
