# The layers of the source tree, checked on every test run:
# - a file under src/core uses Qt Core only (no Qt Gui, Widgets or
#   PrintSupport header) and includes nothing from src/gui;
# - the folders of src/core stand in the order below, and a folder includes
#   only itself and the folders before it, so no two folders include each other;
# - the command line (src/cli) includes nothing from src/gui.
# Run: cmake -DSRC=<source>/src -P check_layers.cmake
set(order common store format session search formedit card jpcode bank interchange)

set(bad "")
file(GLOB_RECURSE files ${SRC}/core/*.h ${SRC}/core/*.cpp ${SRC}/core/*.h.in ${SRC}/cli/*.h ${SRC}/cli/*.cpp)
foreach(f IN LISTS files)
  file(RELATIVE_PATH rel ${SRC} ${f})
  string(REGEX MATCH "^[a-z]+/[a-z]+" here ${rel})
  string(REGEX REPLACE "^core/" "" folder ${here})
  if(rel MATCHES "^core/")
    list(FIND order ${folder} rank)
    if(rank LESS 0)
      string(APPEND bad "${rel}: the folder core/${folder} has no place in the layer order of check_layers.cmake\n")
    endif()
  endif()
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include")
  foreach(l IN LISTS lines)
    if(rel MATCHES "^core/" AND l MATCHES "Qt(Gui|Widgets|PrintSupport)|<Q(Widget|Application|Dialog|MainWindow|Painter|Pixmap|Image|Font|Color|Printer|GuiApplication|Action|Menu|Label|LineEdit|PushButton|ComboBox|Icon|Clipboard|KeyEvent|Palette|Screen)[>.]")
      string(APPEND bad "${rel}: a core file includes a GUI header: ${l}\n")
    endif()
    if(l MATCHES "\"gui/")
      string(APPEND bad "${rel}: includes a window header: ${l}\n")
    endif()
    if(rel MATCHES "^core/" AND l MATCHES "\"core/([a-z]+)/")
      set(target ${CMAKE_MATCH_1})
      list(FIND order ${target} target_rank)
      if(target_rank GREATER rank)
        string(APPEND bad "${rel}: core/${folder} includes core/${target}, which stands above it: ${l}\n")
      endif()
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "The layers are broken:\n${bad}")
endif()
message(STATUS "core uses Qt Core only; the core folders include only those below them")
