# Native build: decision code against the fake platform, under GoogleTest with sanitizers.
set(KESTRUN_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
target_compile_options(kestrun_core PUBLIC ${KESTRUN_SANITIZE})
target_link_options(kestrun_core PUBLIC ${KESTRUN_SANITIZE})

file(GLOB KESTRUN_FAKE_SOURCES CONFIGURE_DEPENDS platform/fake/*.cpp)
add_library(kestrun_fake STATIC ${KESTRUN_FAKE_SOURCES})
target_link_libraries(kestrun_fake PUBLIC kestrun_core)

find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB KESTRUN_TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
add_executable(kestrun_tests ${KESTRUN_TEST_SOURCES})
target_link_libraries(kestrun_tests PRIVATE kestrun_fake GTest::gtest GTest::gmock
    GTest::gtest_main)
gtest_discover_tests(kestrun_tests DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES PROPERTIES LABELS unit)

# Native helpers that the end-to-end tests compare the real program against.
file(GLOB KESTRUN_NATIVE_TOOLS CONFIGURE_DEPENDS tools/native/*.cpp)
foreach(tool_source ${KESTRUN_NATIVE_TOOLS})
    get_filename_component(tool_name ${tool_source} NAME_WE)
    add_executable(${tool_name} ${tool_source})
    target_link_libraries(${tool_name} PRIVATE kestrun_fake)
endforeach()
