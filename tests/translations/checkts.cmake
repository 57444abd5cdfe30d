# Runs lupdate over the program's sources into a copy of a translation file
# and fails when the copy holds a text without its translation: a text added
# to the sources and not translated, or one left unfinished. Each is named
# with its context, so that it can be translated in Qt Linguist or by hand.
# The source tree is only read.
#
#   cmake -DLUPDATE=<lupdate> -DTS=<file.ts> -DSOURCE_DIR=<dir> -DDIRS=<a;b>
#         -DWORK=<scratch dir> -P checkts.cmake
cmake_minimum_required(VERSION 3.16)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${TS}" DESTINATION "${WORK}")
get_filename_component(name "${TS}" NAME)
set(copy "${WORK}/${name}")

set(dirs "")
foreach(dir ${DIRS})
    list(APPEND dirs "${SOURCE_DIR}/${dir}")
endforeach()
execute_process(COMMAND "${LUPDATE}" -locations none -no-obsolete ${dirs} -ts "${copy}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed (${result}):\n${output}")
endif()

file(READ "${copy}" rest)
set(context "")
set(count 0)
set(total 0)
while(TRUE)
    string(FIND "${rest}" "</message>" end)
    if(end EQUAL -1)
        break()
    endif()
    # One message, after the name of its context when it is the context's first.
    string(SUBSTRING "${rest}" 0 ${end} message)
    math(EXPR next "${end} + 10")
    string(SUBSTRING "${rest}" ${next} -1 rest)
    math(EXPR total "${total} + 1")
    string(FIND "${message}" "<name>" at)
    if(NOT at EQUAL -1)
        string(REGEX REPLACE ".*<name>([^<]*)</name>.*" "\\1" context "${message}")
    endif()
    if("${message}" MATCHES "type=\"unfinished\"" OR "${message}" MATCHES "<translation></translation>")
        string(REGEX REPLACE ".*<source>(.*)</source>.*" "\\1" source "${message}")
        foreach(entity "&quot;=\"" "&apos;='" "&lt;=<" "&gt;=>" "&amp;=&")
            string(REGEX REPLACE "=.*" "" escaped "${entity}")
            string(REGEX REPLACE "^[^=]*=" "" plain "${entity}")
            string(REPLACE "${escaped}" "${plain}" source "${source}")
        endforeach()
        message("unfinished in ${context}: \"${source}\"")
        math(EXPR count "${count} + 1")
    endif()
endwhile()
if(total EQUAL 0)
    message(FATAL_ERROR "${name} holds no texts: ${output}")
endif()
if(count GREATER 0)
    message(FATAL_ERROR "${count} of ${total} texts have no translation in ${name}.")
endif()
message("${total} texts, all translated in ${name}.")
