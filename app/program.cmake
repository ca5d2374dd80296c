# The executable vellora (main unit Vellora): start-up over the screens' libraries. It lands
# in the program folder beside libzelle.so and the content, and finds the library there.
if(NOT TARGET vellora_shell OR NOT TARGET vellora_glossary OR NOT TARGET vellora_exercises)
  return()
endif()

# The cell screen joins once it has sources (before that app/cell offers only its headers).
set(VELLORA_CELL_LINKED OFF)
if(TARGET vellora_cell)
  get_target_property(_vellora_cell_type vellora_cell TYPE)
  if(_vellora_cell_type STREQUAL "STATIC_LIBRARY")
    target_link_libraries(vellora_shell PUBLIC vellora_cell)
    target_compile_definitions(vellora_shell PRIVATE VELLORA_HAVE_CELL=1)
    set(VELLORA_CELL_LINKED ON)
  endif()
endif()

add_executable(vellora main.cpp)
set_target_properties(vellora PROPERTIES
  OUTPUT_NAME vellora
  RUNTIME_OUTPUT_DIRECTORY ${VELLORA_DIST}
  BUILD_RPATH "\$ORIGIN"
  INSTALL_RPATH "\$ORIGIN")
target_link_libraries(vellora PRIVATE vellora_shell vellora_glossary vellora_exercises vellora_widgets vellora_base)
foreach(lib vellora_cell zelle vellora_cellfiles vellora_glossaryfiles vellora_testfiles vellora_profilefiles)
  if(TARGET ${lib})
    target_link_libraries(vellora PRIVATE ${lib})
  endif()
endforeach()

# The offline help page that the splash's address opens.
set(_vellora_help_src ${CMAKE_CURRENT_SOURCE_DIR}/shell/resources/hilfe/index.html)
set(_vellora_help_dst ${VELLORA_DIST}/hilfe/index.html)
add_custom_command(OUTPUT ${_vellora_help_dst}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VELLORA_DIST}/hilfe
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_vellora_help_src} ${_vellora_help_dst}
  DEPENDS ${_vellora_help_src}
  COMMENT "Help page into the program folder")
add_custom_target(vellora_help ALL DEPENDS ${_vellora_help_dst})
add_dependencies(vellora vellora_help)

install(TARGETS vellora RUNTIME DESTINATION lib/vellora)
install(FILES ${_vellora_help_src} DESTINATION lib/vellora/hilfe)
