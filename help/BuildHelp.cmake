# Compiles the help pages into uninstaller.chm with chmcmd (Free Pascal's
# CHM compiler), the screenshots included, and puts a copy in each folder
# given.  cmake -DSOURCE=help -DSCREENSHOTS=docs/screenshots -DWORK=dir
#   -DCHMCMD=path -DTARGETS="dir|dir" -P BuildHelp.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/images")
file(GLOB pages "${SOURCE}/*.html" "${SOURCE}/*.css" "${SOURCE}/*.hhc" "${SOURCE}/*.hhp")
file(COPY ${pages} DESTINATION "${WORK}")
file(GLOB pictures "${SCREENSHOTS}/*.png")
file(COPY ${pictures} DESTINATION "${WORK}/images")
execute_process(COMMAND "${CHMCMD}" uninstaller.hhp WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE failed
                OUTPUT_QUIET)
if(failed OR NOT EXISTS "${WORK}/uninstaller.chm")
  message(FATAL_ERROR "chmcmd could not build the help file")
endif()
string(REPLACE "|" ";" TARGETS "${TARGETS}")
foreach(target IN LISTS TARGETS)
  file(COPY "${WORK}/uninstaller.chm" DESTINATION "${target}")
endforeach()
