# Checks the include rules ARCHITECTURE.md gives, so that a back-door include fails the tests:
#   cmake -DSOURCE_DIR=<top> -P layers.cmake
set(failed "")

# Files matching the globs may include, in quotes, only headers matching `allowed`; and no
# Qt, PulseAudio or espeak-ng header in angle brackets.
function(rule allowed)
  set(files "")
  foreach(g IN LISTS ARGN)
    file(GLOB found "${SOURCE_DIR}/${g}.cpp" "${SOURCE_DIR}/${g}.h")
    list(APPEND files ${found})
  endforeach()
  foreach(f IN LISTS files)
    file(STRINGS "${f}" lines REGEX "^#include")
    foreach(l IN LISTS lines)
      if(l MATCHES "^#include \"([^\"]+)\"")
        if(NOT CMAKE_MATCH_1 MATCHES "^(${allowed})$")
          list(APPEND failed "${f}: ${l}")
        endif()
      elseif(l MATCHES "^#include <(Q|pulse/|espeak)")
        list(APPEND failed "${f}: ${l}")
      endif()
    endforeach()
  endforeach()
  set(failed "${failed}" PARENT_SCOPE)
endfunction()

set(text "platform/(textrules|files|datetime)\\.h")
rule("${text}" platform/textrules platform/files platform/datetime)
rule("geodesy/[a-z0-9]+\\.h|${text}" geodesy/*)
rule("platform/[a-z0-9]+\\.h" platform/*)
# The six subsystems, lowest first: each may include its own headers and those of the ones
# below it, with app/app.h, which only gathers their state.
set(allowed "app/app|geodesy/[a-z0-9]+|platform/[a-z0-9]+")
foreach(sub speech gpsinput mapdisplay navigation vehicles mainwindow)
  set(allowed "${allowed}|${sub}/[a-z0-9]+")
  rule("(${allowed})\\.h" ${sub}/*)
endforeach()

if(failed)
  list(JOIN failed "\n" lines)
  message(FATAL_ERROR "Includes across the layers:\n${lines}")
endif()
