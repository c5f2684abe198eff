# velora_add_plugin(<Name> SOURCES ... [PALETTE_IMAGE file.png TOOLBAR_IMAGE file.png]
#                   [DESCRIPTION "text"] [RESOURCES ...] [OUTPUT_DIRECTORY dir])
# Builds the element plug-in file vrPI_<Name>.bpl: an ordinary shared object
# that the programs load by full path at start-up and that registers the
# element class T<Name> (see shared/model/CPlugInContract.h). Symbols stay
# hidden so that unloading really drops the code; RPATH $ORIGIN finds the
# shared library beside it.
# The two images become the resources :/plugins/T<NAME>.png (palette) and
# :/plugins/T<NAME>_1.png (toolbar), the class name upper-cased; the programs
# refuse a plug-in without them. The description, one line naming the
# package, becomes :/plugins/T<NAME>.txt.
function(velora_add_plugin name)
  cmake_parse_arguments(PI "" "OUTPUT_DIRECTORY;PALETTE_IMAGE;TOOLBAR_IMAGE;DESCRIPTION"
    "SOURCES;RESOURCES" ${ARGN})
  set(target vrPI_${name})

  string(TOUPPER "T${name}" class_upper)
  set(entries)
  if(PI_PALETTE_IMAGE OR PI_TOOLBAR_IMAGE)
    if(NOT PI_PALETTE_IMAGE OR NOT PI_TOOLBAR_IMAGE)
      message(FATAL_ERROR "velora_add_plugin(${name}): give both PALETTE_IMAGE and TOOLBAR_IMAGE")
    endif()
    get_filename_component(palette "${PI_PALETTE_IMAGE}" ABSOLUTE)
    get_filename_component(toolbar "${PI_TOOLBAR_IMAGE}" ABSOLUTE)
    string(APPEND entries "    <file alias=\"${class_upper}.png\">${palette}</file>
    <file alias=\"${class_upper}_1.png\">${toolbar}</file>
")
  endif()
  if(PI_DESCRIPTION)
    set(description ${CMAKE_CURRENT_BINARY_DIR}/${target}_description.txt)
    file(CONFIGURE OUTPUT ${description} CONTENT "${PI_DESCRIPTION}")
    string(APPEND entries "    <file alias=\"${class_upper}.txt\">${description}</file>
")
  endif()
  # A generated list, so that plug-ins may share image files under their own names.
  set(images)
  if(entries)
    set(images ${CMAKE_CURRENT_BINARY_DIR}/${target}_images.qrc)
    file(CONFIGURE OUTPUT ${images} CONTENT "<RCC>
  <qresource prefix=\"/plugins\">
${entries}  </qresource>
</RCC>
")
  endif()

  add_library(${target} MODULE ${PI_SOURCES} ${PI_RESOURCES} ${images})
  if(NOT PI_OUTPUT_DIRECTORY)
    set(PI_OUTPUT_DIRECTORY ${VELORA_BIN_DIR})
  endif()
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    SUFFIX ".bpl"
    OUTPUT_NAME ${target}
    LIBRARY_OUTPUT_DIRECTORY ${PI_OUTPUT_DIRECTORY}
    AUTORCC ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    BUILD_WITH_INSTALL_RPATH ON
    INSTALL_RPATH "$ORIGIN")
  # Unique symbols would pin the object in memory after dlclose.
  target_compile_options(${target} PRIVATE -fno-gnu-unique)
  target_link_libraries(${target} PRIVATE shared)
endfunction()
