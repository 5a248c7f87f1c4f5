# Compiles the help project with chmcmd in a folder of its own (chmcmd writes
# beside the project) and copies the result to OUTPUT. A topic, picture or
# anchor that a page links to but the project lacks fails the build.
#   cmake -DCHMCMD=... -DSOURCES=a;b;... -DWORK_DIR=... -DPROJECT_FILE=x.hhp
#         -DOUTPUT=.../Quillbox.chm -P compileHelp.cmake

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
foreach(source IN LISTS SOURCES)
    file(COPY ${source} DESTINATION ${WORK_DIR})
endforeach()

execute_process(
    COMMAND ${CHMCMD} ${PROJECT_FILE}
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)

string(REGEX MATCHALL "[^\n]*(Error|couldn't find)[^\n]*" problems "${output}")
if(NOT result EQUAL 0 OR problems)
    list(JOIN problems "\n" problems)
    message(FATAL_ERROR "chmcmd could not compile the help:\n${problems}\n${output}")
endif()

get_filename_component(project_name ${PROJECT_FILE} NAME_WE)
if(NOT EXISTS ${WORK_DIR}/${project_name}.chm)
    message(FATAL_ERROR "chmcmd wrote no ${project_name}.chm:\n${output}")
endif()
file(COPY_FILE ${WORK_DIR}/${project_name}.chm ${OUTPUT})
