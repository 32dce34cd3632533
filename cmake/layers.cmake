# One static library per source folder. Each library compiles against a view of the source
# tree that holds only its own folder's headers and those of the folders it declares, so an
# include against the direction of the layers does not compile.
#
#   kestrun_layer(<folder> [SOURCES <files>] [DEPENDS <folders>])
#
# The view is a directory of symbolic links in the build tree, one link per header of the
# folder (not its subfolders, so platform/win32 stays out of the portable view).
set(KESTRUN_LAYER_VIEWS ${CMAKE_BINARY_DIR}/layers)

function(kestrun_layer_view view folder)
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    set(target_dir ${view}/${folder})
    file(REMOVE_RECURSE ${target_dir})
    file(MAKE_DIRECTORY ${target_dir})
    foreach(header ${headers})
        get_filename_component(name ${header} NAME)
        file(CREATE_LINK ${header} ${target_dir}/${name} SYMBOLIC)
    endforeach()
endfunction()

function(kestrun_layer folder)
    cmake_parse_arguments(LAYER "" "" "SOURCES;DEPENDS" ${ARGN})
    string(REPLACE "/" "_" name ${folder})
    set(target kestrun_${name})
    set(view ${KESTRUN_LAYER_VIEWS}/${name})
    kestrun_layer_view(${view} ${folder})
    if(NOT LAYER_SOURCES)
        file(GLOB LAYER_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
    endif()
    if(LAYER_SOURCES)
        add_library(${target} STATIC ${LAYER_SOURCES})
        target_include_directories(${target} PUBLIC ${view})
        foreach(dependency ${LAYER_DEPENDS})
            string(REPLACE "/" "_" dependency ${dependency})
            target_link_libraries(${target} PUBLIC kestrun_${dependency})
        endforeach()
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${view})
        foreach(dependency ${LAYER_DEPENDS})
            string(REPLACE "/" "_" dependency ${dependency})
            target_link_libraries(${target} INTERFACE kestrun_${dependency})
        endforeach()
    endif()
endfunction()
