# Cross build of the real program for Windows 2000 and later.
target_compile_definitions(kestrun_core PUBLIC _WIN32_WINNT=0x0500 WINVER=0x0500)

file(GLOB KESTRUN_WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
add_executable(Kestrun WIN32 ${KESTRUN_WIN32_SOURCES} res/kestrun.rc)
target_link_libraries(Kestrun PRIVATE kestrun_core
    ws2_32 iphlpapi userenv advapi32 shell32 ole32 oleaut32 uuid comctl32 gdi32 user32)
target_link_options(Kestrun PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(Kestrun PROPERTIES OUTPUT_NAME Kestrun
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# Stub external programs and test helpers, each a single source file.
file(GLOB KESTRUN_WIN32_TOOLS CONFIGURE_DEPENDS tools/win32/*.cpp)
foreach(tool_source ${KESTRUN_WIN32_TOOLS})
    get_filename_component(tool_name ${tool_source} NAME_WE)
    add_executable(${tool_name} ${tool_source})
    target_include_directories(${tool_name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${tool_name} PRIVATE user32 advapi32 kernel32)
    target_link_options(${tool_name} PRIVATE -static -static-libgcc -static-libstdc++)
    set_target_properties(${tool_name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY
        ${CMAKE_BINARY_DIR}/tools)
endforeach()

find_package(Python3 REQUIRED COMPONENTS Interpreter)
include(${CMAKE_CURRENT_SOURCE_DIR}/e2e/tests.cmake OPTIONAL)

# windres reads the pictures and the included scripts; rebuild when any of them changes.
file(GLOB KESTRUN_RESOURCE_INPUTS CONFIGURE_DEPENDS res/*.rc res/*.bmp res/*.ico res/*.h)
set_source_files_properties(res/kestrun.rc PROPERTIES OBJECT_DEPENDS "${KESTRUN_RESOURCE_INPUTS}")

# The tray icons are loaded at run time from res\ beside the program.
add_custom_command(TARGET Kestrun POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/res
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
        ${CMAKE_CURRENT_SOURCE_DIR}/res/icon_link.ico ${CMAKE_CURRENT_SOURCE_DIR}/res/icon_NoLink.ico
        ${CMAKE_BINARY_DIR}/res)

# The supplied scripts "Refresh.bat" and "GetIPSecStats.bat" lie beside the program.
add_custom_command(TARGET Kestrun POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
        ${CMAKE_CURRENT_SOURCE_DIR}/res/scripts/GetIPSecStats.bat
        ${CMAKE_CURRENT_SOURCE_DIR}/res/scripts/Refresh.bat
        ${CMAKE_BINARY_DIR})
