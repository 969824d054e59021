# The arrows between the cover rooms point one way: each room includes the headers of the rooms
# below it and never those above (run by ctest as cover_rooms, with -DCOVER=<src/cover>). The
# libraries' links say the same, but every library has src/ on its include path, so a header
# of a room above would compile; this catches it.
cmake_minimum_required(VERSION 3.25)

set(below_document "")
set(below_layout document)
set(below_fill document layout)
# The dialog reaches the layout only through the filling.
set(below_ui fill document)
# The layout edits a filled part: it stands on the documents' XML parts and bookmarks, never on
# their packages.
set(layout_from_document xmlpart.h bookmarkxml.h)

set(wrong "")
foreach(room document layout fill ui)
    file(GLOB sources ${COVER}/${room}/*.h ${COVER}/${room}/*.cpp)
    foreach(source ${sources})
        file(STRINGS ${source} includes REGEX "^#include \"cover/")
        foreach(line ${includes})
            file(RELATIVE_PATH name ${COVER} ${source})
            if(NOT line MATCHES "^#include \"cover/[a-z]+/[a-z]+\\.h\"")
                list(APPEND wrong "${name}: ${line} (names no room)")
                continue()
            endif()
            string(REGEX REPLACE "^#include \"cover/([a-z]+)/([a-z]+\\.h).*" "\\1;\\2" included
                                 "${line}")
            list(GET included 0 other)
            list(GET included 1 header)
            set(only ${room}_from_${other})
            if(NOT other STREQUAL room AND (NOT other IN_LIST below_${room} OR
                                            (DEFINED ${only} AND NOT header IN_LIST ${only})))
                list(APPEND wrong "${name}: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()
if(wrong)
    list(JOIN wrong "\n  " text)
    message(FATAL_ERROR "Includes against the cover rooms' arrows:\n  ${text}")
endif()
