# End-to-end tests of the real Kestrun.exe under Wine, plus the import check and the INI
# comparison. Scenarios are listed by the harness itself, so adding one to an
# e2e/scenarios_*.py file is enough (the build reconfigures when those files change).
set(KESTRUN_E2E_DIR ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
file(GLOB KESTRUN_E2E_SCRIPTS CONFIGURE_DEPENDS ${KESTRUN_E2E_DIR}/*.py)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KESTRUN_E2E_SCRIPTS})

execute_process(
    COMMAND ${Python3_EXECUTABLE} ${KESTRUN_E2E_DIR}/run_scenario.py --list
    OUTPUT_VARIABLE KESTRUN_E2E_LIST
    RESULT_VARIABLE KESTRUN_E2E_LIST_RESULT)
if(NOT KESTRUN_E2E_LIST_RESULT EQUAL 0)
    message(FATAL_ERROR "e2e/run_scenario.py --list failed")
endif()
string(REPLACE "\n" ";" KESTRUN_E2E_LIST "${KESTRUN_E2E_LIST}")

foreach(entry ${KESTRUN_E2E_LIST})
    if(entry STREQUAL "")
        continue()
    endif()
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 scenario_name)
    list(GET fields 1 scenario_timeout)
    list(GET fields 2 scenario_labels)
    string(REPLACE "," ";" scenario_labels "${scenario_labels}")
    add_test(NAME e2e.${scenario_name}
        COMMAND ${Python3_EXECUTABLE} ${KESTRUN_E2E_DIR}/run_scenario.py
            --build-dir ${CMAKE_BINARY_DIR} --source-dir ${CMAKE_CURRENT_SOURCE_DIR}
            ${scenario_name})
    # One Wine session at a time: the machine is small and the tests share the base prefix.
    set_tests_properties(e2e.${scenario_name} PROPERTIES
        LABELS "${scenario_labels}" RESOURCE_LOCK kestrun_wine
        TIMEOUT ${scenario_timeout} SKIP_RETURN_CODE 77)
endforeach()

# Every exe of this build may import only what Windows 2000 has.
add_test(NAME static.imports_check_selftest
    COMMAND ${Python3_EXECUTABLE} ${KESTRUN_E2E_DIR}/import_check.py --self-test)
add_test(NAME static.imports
    COMMAND ${Python3_EXECUTABLE} ${KESTRUN_E2E_DIR}/import_check.py
        --objdump ${CMAKE_OBJDUMP} ${CMAKE_BINARY_DIR})
# The manifest that makes Windows 8.1 and later report their own version.
add_test(NAME static.manifest
    COMMAND ${Python3_EXECUTABLE} ${KESTRUN_E2E_DIR}/manifest_check.py $<TARGET_FILE:Kestrun>)
set_tests_properties(static.imports_check_selftest static.imports static.manifest
    PROPERTIES LABELS static)
