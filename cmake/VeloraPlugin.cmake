# velora_add_plugin(<Name> SOURCES ... [RESOURCES ...] [OUTPUT_DIRECTORY dir])
# Builds the element plug-in file vrPI_<Name>.bpl: an ordinary shared object
# that the programs load by full path at start-up. Symbols stay hidden so that
# unloading really drops the code; RPATH $ORIGIN finds the shared library
# beside it.
function(velora_add_plugin name)
  cmake_parse_arguments(PI "" "OUTPUT_DIRECTORY" "SOURCES;RESOURCES" ${ARGN})
  set(target vrPI_${name})
  add_library(${target} MODULE ${PI_SOURCES} ${PI_RESOURCES})
  if(NOT PI_OUTPUT_DIRECTORY)
    set(PI_OUTPUT_DIRECTORY ${VELORA_BIN_DIR})
  endif()
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    SUFFIX ".bpl"
    OUTPUT_NAME ${target}
    LIBRARY_OUTPUT_DIRECTORY ${PI_OUTPUT_DIRECTORY}
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    BUILD_WITH_INSTALL_RPATH ON
    INSTALL_RPATH "$ORIGIN")
  # Unique symbols would pin the object in memory after dlclose.
  target_compile_options(${target} PRIVATE -fno-gnu-unique)
  target_link_libraries(${target} PRIVATE shared)
endfunction()
