# velmora_test_groups(TARGET
#     PREFIX name_prefix WINE_RUN script WINE_PREFIX folder
#     [JOIN group=Suite,Suite ...] [PLATFORM_SHARE pattern ...]
#     [SCALE_SUITE Suite SCALES dpi ... SCALE_PREFIX folder-DPI]
#     [ENVIRONMENT NAME=value ...] [FIXTURES fixture ...])
#
# Runs TARGET's GoogleTest cases under Wine in groups, one process per group:
# tools/plan-test-groups.py turns the program's list of tests into ctest tests
# when ctest starts, and tools/run-test-group.py runs each group. The list is
# taken again whenever the program is newer than it. With VELMORA_TEST_SCOPE=platform
# in ctest's environment only the PLATFORM_SHARE runs.
function(velmora_test_groups target)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "PREFIX;WINE_RUN;WINE_PREFIX;SCALE_SUITE;SCALE_PREFIX"
                          "JOIN;PLATFORM_SHARE;SCALES;ENVIRONMENT;FIXTURES")
    set(plan_arguments --prefix ${ARG_PREFIX} --wine-run ${ARG_WINE_RUN} --wine-prefix ${ARG_WINE_PREFIX}
        --runner ${PROJECT_SOURCE_DIR}/tools/run-test-group.py)
    foreach(pair JOIN:join PLATFORM_SHARE:platform-share SCALES:scale
                 ENVIRONMENT:environment FIXTURES:fixture)
        string(REPLACE ":" ";" pair ${pair})
        list(GET pair 0 option)
        list(GET pair 1 flag)
        foreach(value IN LISTS ARG_${option})
            list(APPEND plan_arguments --${flag} ${value})
        endforeach()
    endforeach()
    if(ARG_SCALE_SUITE)
        list(APPEND plan_arguments --scale-suite ${ARG_SCALE_SUITE} --scale-prefix ${ARG_SCALE_PREFIX})
    endif()
    # Each argument as a bracket argument: Windows paths keep their backslashes.
    set(quoted "")
    foreach(argument IN LISTS plan_arguments)
        string(APPEND quoted " [==[${argument}]==]")
    endforeach()

    set(listing ${CMAKE_CURRENT_BINARY_DIR}/${target}.tests)
    set(groups ${CMAKE_CURRENT_BINARY_DIR}/${target}.groups.cmake)
    set(include_file ${CMAKE_CURRENT_BINARY_DIR}/${target}.include.cmake)
    file(GENERATE OUTPUT ${include_file} CONTENT "\
set(program [==[$<TARGET_FILE:${target}>]==])
set(listing [==[${listing}]==])
if(NOT EXISTS \"\${listing}\" OR \"\${program}\" IS_NEWER_THAN \"\${listing}\")
    execute_process(COMMAND [==[${ARG_WINE_RUN}]==] [==[${ARG_WINE_PREFIX}]==] \"\${program}\" --gtest_list_tests
                    OUTPUT_VARIABLE tests RESULT_VARIABLE result TIMEOUT 120)
    if(result EQUAL 0)
        file(WRITE \"\${listing}\" \"\${tests}\")
    else()
        file(REMOVE \"\${listing}\")
    endif()
endif()
if(EXISTS \"\${listing}\")
    execute_process(COMMAND python3 [==[${PROJECT_SOURCE_DIR}/tools/plan-test-groups.py]==]
                    --listing \"\${listing}\" --program \"\${program}\" --scope \"\$ENV{VELMORA_TEST_SCOPE}\"
                    --output [==[${groups}]==] ${quoted})
    include([==[${groups}]==])
else()
    # Running the listing again shows why it failed.
    add_test([==[${ARG_PREFIX}ListTests]==] [==[${ARG_WINE_RUN}]==] [==[${ARG_WINE_PREFIX}]==] \"\${program}\" --gtest_list_tests)
endif()
")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()
