# The Windows side of the platform: it sees the platform's interfaces and the resource ids,
# never the application.
file(GLOB KESTRUN_WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
kestrun_layer(platform/win32 SOURCES ${KESTRUN_WIN32_SOURCES} DEPENDS platform res)
target_link_libraries(kestrun_platform_win32 PUBLIC
    ws2_32 iphlpapi userenv advapi32 shell32 ole32 oleaut32 uuid gdi32 user32 version)
# The composition root above the application: the entry point wires the real services in.
# An object of its own, so that the linker takes its main before the runtime's own.
add_library(kestrun_main OBJECT main/main.cpp)
target_link_libraries(kestrun_main PRIVATE kestrun_app kestrun_platform_win32)

add_executable(Kestrun WIN32 $<TARGET_OBJECTS:kestrun_main> res/kestrun.rc)
target_link_libraries(Kestrun PRIVATE kestrun_platform_win32 kestrun_app)
target_link_options(Kestrun PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(Kestrun PROPERTIES OUTPUT_NAME Kestrun
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# Stub external programs and test helpers, each a single source file.
file(GLOB KESTRUN_WIN32_TOOLS CONFIGURE_DEPENDS tools/win32/*.cpp)
foreach(tool_source ${KESTRUN_WIN32_TOOLS})
    get_filename_component(tool_name ${tool_source} NAME_WE)
    add_executable(${tool_name} ${tool_source})
    target_include_directories(${tool_name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${tool_name} PRIVATE user32 advapi32 kernel32)
    target_link_options(${tool_name} PRIVATE -static -static-libgcc -static-libstdc++)
    set_target_properties(${tool_name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY
        ${CMAKE_BINARY_DIR}/tools)
endforeach()
# The browser probe hosts the real browser control through the platform layer's container.
target_sources(browser_probe PRIVATE platform/win32/win32_browser.cpp)
target_link_libraries(browser_probe PRIVATE ole32 oleaut32 uuid)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
include(${CMAKE_CURRENT_SOURCE_DIR}/e2e/tests.cmake OPTIONAL)

# windres reads the pictures and the included scripts; rebuild when any of them changes.
file(GLOB KESTRUN_RESOURCE_INPUTS CONFIGURE_DEPENDS res/*.rc res/*.bmp res/*.ico res/*.h
    res/*.manifest)
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

# The setup program, Kestrun-setup.exe: the program, its icons, the supplied scripts and the
# openVPN folder, with an uninstaller. makensis comes from Debian's nsis package.
find_program(KESTRUN_MAKENSIS makensis REQUIRED)
set(KESTRUN_SETUP ${CMAKE_BINARY_DIR}/Kestrun-setup.exe)
add_custom_command(OUTPUT ${KESTRUN_SETUP}
    COMMAND ${KESTRUN_MAKENSIS} -V2 -WX
        -DKESTRUN_EXE=$<TARGET_FILE:Kestrun>
        -DSOURCE_DIR=${CMAKE_CURRENT_SOURCE_DIR}
        -DOUTFILE=${KESTRUN_SETUP}
        ${CMAKE_CURRENT_SOURCE_DIR}/installer/kestrun.nsi
    DEPENDS Kestrun
        ${CMAKE_CURRENT_SOURCE_DIR}/installer/kestrun.nsi
        ${CMAKE_CURRENT_SOURCE_DIR}/installer/openVPN-README.txt
        ${CMAKE_CURRENT_SOURCE_DIR}/res/kestrun.ico
        ${CMAKE_CURRENT_SOURCE_DIR}/res/icon_link.ico
        ${CMAKE_CURRENT_SOURCE_DIR}/res/icon_NoLink.ico
        ${CMAKE_CURRENT_SOURCE_DIR}/res/scripts/Refresh.bat
        ${CMAKE_CURRENT_SOURCE_DIR}/res/scripts/GetIPSecStats.bat
    COMMENT "Building the setup program Kestrun-setup.exe"
    VERBATIM)
add_custom_target(kestrun_setup ALL DEPENDS ${KESTRUN_SETUP})

# The programs the benchmarks run under Wine beside Kestrun.exe.
add_subdirectory(bench)
