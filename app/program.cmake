# The executable vellora: a thin main() over vellora_app. It lands in the program folder beside
# libzelle.so and the content, and finds the library there.
add_executable(vellora main.cpp)
set_target_properties(vellora PROPERTIES
  OUTPUT_NAME vellora
  RUNTIME_OUTPUT_DIRECTORY ${VELLORA_DIST}
  BUILD_RPATH "\$ORIGIN"
  INSTALL_RPATH "\$ORIGIN")
target_link_libraries(vellora PRIVATE vellora_app)

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
