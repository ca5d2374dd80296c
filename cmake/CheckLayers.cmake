# Checks the folder dependency picture by the #include lines of the sources:
#   the engine knows no Qt; the widgets know no screen (only themselves and base/);
#   no screen, shared control or file format includes the shell (main window, start-up windows);
#   file formats include no widget or screen; the tools use formats, never screens.
# Run as: cmake -DROOT=<source folder> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
  message(FATAL_ERROR "ROOT not set")
endif()

set(violations "")

function(headers_in out)
  set(names "")
  foreach(dir ${ARGN})
    file(GLOB hs RELATIVE ${ROOT}/${dir} ${ROOT}/${dir}/*.h)
    list(APPEND names ${hs})
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# check(<folders> FORBID <header names> [QT]): no source below the folders includes them
# (QT: nor any Qt header).
function(check)
  cmake_parse_arguments(C "QT" "" "DIRS;FORBID;WHY" ${ARGN})
  foreach(dir ${C_DIRS})
    file(GLOB_RECURSE sources ${ROOT}/${dir}/*.h ${ROOT}/${dir}/*.cpp ${ROOT}/${dir}/*.c)
    foreach(src ${sources})
      file(STRINGS ${src} lines REGEX "^[ \t]*#[ \t]*include")
      foreach(line ${lines})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">].*$" "\\1" inc "${line}")
        get_filename_component(name ${inc} NAME)
        set(bad FALSE)
        if(name IN_LIST C_FORBID)
          set(bad TRUE)
        endif()
        if(C_QT AND inc MATCHES "^Q[A-Za-z]+$|^Qt[A-Za-z]+/")
          set(bad TRUE)
        endif()
        if(bad)
          file(RELATIVE_PATH rel ${ROOT} ${src})
          set(violations "${violations}\n  ${rel}: #include ${inc} (${C_WHY})" PARENT_SCOPE)
          set(violations "${violations}\n  ${rel}: #include ${inc} (${C_WHY})")
        endif()
      endforeach()
    endforeach()
  endforeach()
endfunction()

headers_in(shell_headers app/shell)
headers_in(screen_headers app/shell app/cell app/exercises app/glossary app/profiles app/common)
headers_in(widget_headers widgets)

check(DIRS engine QT WHY "the engine knows no Qt")
check(DIRS widgets FORBID ${screen_headers} WHY "widgets know no screen")
check(DIRS app/cell app/exercises app/glossary app/profiles app/common FORBID ${shell_headers}
      WHY "screens know no window")
check(DIRS app/cell/files app/exercises/files app/glossary/files app/profiles/files
      FORBID ${screen_headers} ${widget_headers} WHY "file formats know no widget or screen")
check(DIRS tools FORBID ${screen_headers} WHY "tools use the formats, never the screens")

if(violations)
  message(FATAL_ERROR "Folder dependencies broken:${violations}")
endif()
message(STATUS "Folder dependencies hold")
