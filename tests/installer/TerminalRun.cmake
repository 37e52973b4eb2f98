# Runs the shipped Linux installer from a copy of the shipping folder, typing
# a plug-in folder and pressing "INSTALL NOW" on its standard input.
#   cmake -DSHIP=... -DWORK=... -P TerminalRun.cmake
file(REMOVE_RECURSE ${WORK})
file(COPY ${SHIP}/ DESTINATION ${WORK}/program)
file(WRITE ${WORK}/input.txt "e\n${WORK}/Plugins\ni\n\n")
execute_process(COMMAND ${WORK}/program/QUORVSTINSTALLER
    WORKING_DIRECTORY ${WORK}
    INPUT_FILE ${WORK}/input.txt
    OUTPUT_VARIABLE output
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the installer ended with ${result}:\n${output}")
endif()
if(NOT output MATCHES "Thank You!: INSTALLATION COMPLETE")
    message(FATAL_ERROR "no completion message:\n${output}")
endif()
file(READ ${WORK}/program/QUORVSTINSTALLER.001 data)
string(REGEX MATCH "^[^\r\n]*" product "${data}")
file(SHA256 ${SHIP}/vstfiles/TavriGUIModules_x64.sem shipped)
file(SHA256 ${WORK}/Plugins/QUORVST${product}/TavriGUIModules_x64.sem installed)
if(NOT shipped STREQUAL installed)
    message(FATAL_ERROR "the library was not copied into Plugins/QUORVST${product}")
endif()
file(REMOVE_RECURSE ${WORK})
