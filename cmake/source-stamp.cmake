# Where the sources come from, for a build that can be told apart and made
# again: sets
#   UL_SOURCE_DATE_EPOCH  the commit's time (the environment's SOURCE_DATE_EPOCH
#                         wins), which stamps the exe and the zips' entries;
#   UL_COMMIT             the commit's hash, or empty when unknown;
#   UL_TAGGED             ON when the commit carries the tag v<PROJECT_VERSION>.
# A clone asks git; a tree made by git archive has no .git but the stamp file,
# which git filled in when it made the tree (.gitattributes, export-subst).
set(UL_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
set(UL_COMMIT "")
set(UL_TAGGED OFF)
set(ul_tag "v${PROJECT_VERSION}")

if(EXISTS ${PROJECT_SOURCE_DIR}/.git)
    execute_process(COMMAND git log -1 --format=%ct%n%H
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE ul_head OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND git tag --points-at HEAD
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE ul_tags OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    string(REPLACE "\n" ";" ul_head "${ul_head}")
    string(REPLACE "\n" ";" ul_tags "${ul_tags}")
    # A new commit or tag configures again, and so takes its stamp.
    foreach(ul_log logs/HEAD packed-refs)
        if(EXISTS ${PROJECT_SOURCE_DIR}/.git/${ul_log})
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                         ${PROJECT_SOURCE_DIR}/.git/${ul_log})
        endif()
    endforeach()
else()
    # "<time> <hash> <refs>" once substituted; the refs read "HEAD -> main,
    # tag: v1.0.0.3".
    file(READ ${CMAKE_CURRENT_LIST_DIR}/source-stamp.txt ul_stamp)
    string(STRIP "${ul_stamp}" ul_stamp)
    set(ul_head "")
    set(ul_tags "")
    if(ul_stamp MATCHES "^([0-9]+) ([0-9a-f]+)(.*)$")
        set(ul_head "${CMAKE_MATCH_1};${CMAKE_MATCH_2}")
        string(REGEX MATCHALL "tag: [^,]+" ul_refs "${CMAKE_MATCH_3}")
        foreach(ul_ref IN LISTS ul_refs)
            string(REPLACE "tag: " "" ul_ref "${ul_ref}")
            list(APPEND ul_tags "${ul_ref}")
        endforeach()
    endif()
endif()

list(LENGTH ul_head ul_count)
if(ul_count EQUAL 2)
    list(GET ul_head 1 UL_COMMIT)
    if(NOT UL_SOURCE_DATE_EPOCH)
        list(GET ul_head 0 UL_SOURCE_DATE_EPOCH)
    endif()
    if(ul_tag IN_LIST ul_tags)
        set(UL_TAGGED ON)
    endif()
endif()
