# cmake --install <build> --prefix P: the programs, the shared library, the
# plug-ins and the topic maps side by side in P/lib/velora/ (RPATH $ORIGIN finds
# the library, the programs find the plug-ins and maps beside themselves),
# launchers in P/bin/, help pages, examples and the desktop files under P/share/.
set(VELORA_INSTALL_DIR lib/velora)

install(TARGETS VeloraFiller VeloraDesigner shared
  RUNTIME DESTINATION ${VELORA_INSTALL_DIR}
  LIBRARY DESTINATION ${VELORA_INSTALL_DIR})

# Every element plug-in made by velora_add_plugin under plugins/.
get_property(plugin_dirs DIRECTORY ${PROJECT_SOURCE_DIR}/plugins PROPERTY SUBDIRECTORIES)
foreach(dir ${plugin_dirs})
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    if(target MATCHES "^vrPI_")
      install(TARGETS ${target} LIBRARY DESTINATION ${VELORA_INSTALL_DIR})
    endif()
  endforeach()
endforeach()

install(FILES "${PROJECT_SOURCE_DIR}/help/Velora Filler.xml"
              "${PROJECT_SOURCE_DIR}/help/Velora Designer.xml"
        DESTINATION ${VELORA_INSTALL_DIR})

# Links, not copies: the running program's folder is where the link points, so the
# programs still find their plug-ins and maps in lib/velora/.
foreach(program VeloraFiller VeloraDesigner)
  install(CODE "
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(MAKE_DIRECTORY \"\${bin}\")
    file(REMOVE \"\${bin}/${program}\")
    file(CREATE_LINK ../${VELORA_INSTALL_DIR}/${program} \"\${bin}/${program}\" SYMBOLIC)
    message(STATUS \"Installing: \${bin}/${program} -> ../${VELORA_INSTALL_DIR}/${program}\")")
endforeach()

install(DIRECTORY ${CMAKE_BINARY_DIR}/help/filler ${CMAKE_BINARY_DIR}/help/designer
        DESTINATION share/velora/help)

# The example documents as the build writes them: loose ones and whatever folders
# (tutorials, example forms) hold more, in the place the programs look for them.
install(DIRECTORY ${CMAKE_BINARY_DIR}/examples/ DESTINATION share/velora
  FILES_MATCHING PATTERN "*.vld"
  PATTERN "CMakeFiles" EXCLUDE
  PATTERN "*_autogen" EXCLUDE)

set(desktop ${PROJECT_SOURCE_DIR}/desktop)
install(FILES ${desktop}/velora-filler.desktop ${desktop}/velora-designer.desktop
        DESTINATION share/applications)
install(FILES ${desktop}/velora-filler.svg ${desktop}/velora-designer.svg
        DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${desktop}/application-x-velora-document.svg
        DESTINATION share/icons/hicolor/scalable/mimetypes)
install(FILES ${desktop}/velora-mime.xml DESTINATION share/mime/packages RENAME velora.xml)
