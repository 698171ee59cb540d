# The build runs two tools of its own: render-icons (the program's pictures)
# and make-manual (tessaro.pdf). They must run on the build machine, so a
# cross build takes them from a native build of the same sources, named by
# TESSARO_HOST_TOOLS_DIR, instead of cross compiling them.
if(CMAKE_CROSSCOMPILING)
    set(TESSARO_HOST_TOOLS_DIR "" CACHE PATH
        "Folder with render-icons and make-manual built for the build machine")
    foreach(tool IN ITEMS render-icons make-manual)
        find_program(TESSARO_HOST_${tool} ${tool} PATHS ${TESSARO_HOST_TOOLS_DIR}
                     NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
        add_executable(${tool} IMPORTED GLOBAL)
        set_target_properties(${tool} PROPERTIES IMPORTED_LOCATION ${TESSARO_HOST_${tool}})
    endforeach()
else()
    add_subdirectory(tools/render-icons)
    add_subdirectory(tools/make-manual)
endif()
