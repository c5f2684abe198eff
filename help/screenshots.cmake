# cmake -DFILLER= -DDESIGNER= -DEXAMPLES= -DOUT= -DCONFIG= -P screenshots.cmake
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{XDG_CONFIG_HOME} ${CONFIG})
foreach(shot "filler;${FILLER};filler/filler-window.png"
             "designer;${DESIGNER};designer/designer-window.png")
  list(GET shot 1 program)
  list(GET shot 2 file)
  execute_process(COMMAND ${program} --screenshot=${OUT}/${file} ${EXAMPLES}/Invoice.vld
    RESULT_VARIABLE result TIMEOUT 60 OUTPUT_QUIET ERROR_QUIET)
  if(NOT result EQUAL 0)
    message(WARNING "No picture ${file}: ${result}")
    file(TOUCH ${OUT}/${file})
  endif()
endforeach()
