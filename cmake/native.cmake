# Native build: the fakes, the unit tests and the native test helpers.
find_package(GTest REQUIRED)
include(GoogleTest)

# Test code sees the whole tree: the fakes stand in for platform/, the tests reach every layer.
file(GLOB KESTRUN_FAKE_SOURCES CONFIGURE_DEPENDS tests/fakes/*.cpp)
add_library(kestrun_fakes STATIC ${KESTRUN_FAKE_SOURCES})
target_include_directories(kestrun_fakes PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(kestrun_fakes PUBLIC kestrun_platform)

# Tests of state shared with a worker thread are named *_threads_test.cpp; they run in both
# native presets, the ThreadSanitizer one runs only them.
file(GLOB KESTRUN_THREAD_TEST_SOURCES CONFIGURE_DEPENDS tests/*_threads_test.cpp)
file(GLOB KESTRUN_TEST_SOURCES CONFIGURE_DEPENDS tests/*_test.cpp)
list(REMOVE_ITEM KESTRUN_TEST_SOURCES ${KESTRUN_THREAD_TEST_SOURCES})

function(kestrun_test_executable name label)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE kestrun_app kestrun_fakes GTest::gtest GTest::gmock
        GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
        PROPERTIES LABELS ${label})
endfunction()

if(NOT KESTRUN_SANITIZE STREQUAL "thread")
    kestrun_test_executable(kestrun_tests unit ${KESTRUN_TEST_SOURCES})

    # Native helpers that the end-to-end tests compare the real program against.
    file(GLOB KESTRUN_NATIVE_TOOLS CONFIGURE_DEPENDS tools/native/*.cpp)
    foreach(tool_source ${KESTRUN_NATIVE_TOOLS})
        get_filename_component(tool_name ${tool_source} NAME_WE)
        add_executable(${tool_name} ${tool_source})
        target_link_libraries(${tool_name} PRIVATE kestrun_fakes)
    endforeach()
endif()
if(KESTRUN_THREAD_TEST_SOURCES)
    kestrun_test_executable(kestrun_thread_tests threads ${KESTRUN_THREAD_TEST_SOURCES})
endif()

# The client's OpenVPN line against a real OpenVPN in network namespaces of its own (root,
# Debian's openvpn; skipped without them).
if(NOT KESTRUN_SANITIZE STREQUAL "thread")
    target_link_libraries(openvpn_line PRIVATE kestrun_tunnel)
    find_package(Python3 REQUIRED COMPONENTS Interpreter)
    add_test(NAME openvpn.static_key_tunnel
        COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tests/openvpn/static_key_tunnel.py
            $<TARGET_FILE:openvpn_line>)
    set_tests_properties(openvpn.static_key_tunnel PROPERTIES
        LABELS openvpn SKIP_RETURN_CODE 77 TIMEOUT 120 RUN_SERIAL TRUE)
endif()
