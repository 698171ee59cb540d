# The deployable folder of the Windows program, laid out as Qt's deployment
# tool lays it: tessaro.exe, the Qt libraries it links, the plugins it loads
# (the Windows platform, its native style, TLS through Schannel for https
# webhooks), the compiler's runtime libraries and the manual.
set(TESSARO_DEPLOY_DIR ${CMAKE_BINARY_DIR}/deploy/Tessaro CACHE PATH
    "Where the deployable Windows folder is laid out")

function(tessaro_runtime_library name result)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "The compiler's runtime library ${name} was not found")
    endif()
    set(${result} ${path} PARENT_SCOPE)
endfunction()

set(TESSARO_RUNTIME_LIBRARIES "")
foreach(name IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    tessaro_runtime_library(${name} path)
    list(APPEND TESSARO_RUNTIME_LIBRARIES ${path})
endforeach()
set(TESSARO_QT_BIN_DIR ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
set(TESSARO_QT_PLUGIN_DIR ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS})
set(TESSARO_DEPLOY_QT_LIBRARIES Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll)
set(TESSARO_DEPLOY_PLUGINS
    platforms/qwindows.dll
    styles/qwindowsvistastyle.dll
    tls/qschannelbackend.dll
)

add_custom_target(tessaro_deploy ALL
    COMMAND ${CMAKE_COMMAND}
            -D DEPLOY_DIR=${TESSARO_DEPLOY_DIR}
            -D PROGRAM=$<TARGET_FILE:tessaro>
            -D MANUAL=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/tessaro.pdf
            -D QT_BIN_DIR=${TESSARO_QT_BIN_DIR}
            -D QT_PLUGIN_DIR=${TESSARO_QT_PLUGIN_DIR}
            "-D QT_LIBRARIES=${TESSARO_DEPLOY_QT_LIBRARIES}"
            "-D PLUGINS=${TESSARO_DEPLOY_PLUGINS}"
            "-D RUNTIME_LIBRARIES=${TESSARO_RUNTIME_LIBRARIES}"
            -P ${PROJECT_SOURCE_DIR}/cmake/windows/deploy.cmake
    DEPENDS tessaro tessaro_manual
    COMMENT "Laying out the deployable folder ${TESSARO_DEPLOY_DIR}"
    VERBATIM
)

# The installer, TessaroSetup-<version>.exe, made by NSIS from the deployable
# folder. Its uninstaller deletes the files listed here and nothing else.
find_program(TESSARO_MAKENSIS makensis)
if(TESSARO_MAKENSIS)
    set(uninstall_lines "")
    set(deployed tessaro.exe tessaro.pdf ${TESSARO_DEPLOY_QT_LIBRARIES} ${TESSARO_DEPLOY_PLUGINS})
    foreach(path IN LISTS TESSARO_RUNTIME_LIBRARIES)
        get_filename_component(name ${path} NAME)
        list(APPEND deployed ${name})
    endforeach()
    foreach(file IN LISTS deployed)
        string(REPLACE "/" "\\" file "${file}")
        string(APPEND uninstall_lines "Delete \"$INSTDIR\\${file}\"\n")
    endforeach()
    foreach(plugin IN LISTS TESSARO_DEPLOY_PLUGINS)
        get_filename_component(kind ${plugin} DIRECTORY)
        string(APPEND uninstall_lines "RMDir \"$INSTDIR\\${kind}\"\n")
    endforeach()
    set(TESSARO_INSTALLED_FILES ${CMAKE_BINARY_DIR}/installer/installed-files.nsh)
    file(WRITE ${TESSARO_INSTALLED_FILES} "${uninstall_lines}")
    set(TESSARO_SETUP ${CMAKE_BINARY_DIR}/TessaroSetup-${PROJECT_VERSION}.exe)
    add_custom_command(
        OUTPUT ${TESSARO_SETUP}
        COMMAND ${TESSARO_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION}
                -DDEPLOY_DIR=${TESSARO_DEPLOY_DIR} -DFILE_LIST=${TESSARO_INSTALLED_FILES}
                -DICON=${CMAKE_BINARY_DIR}/windows-resources/tessaro.ico
                -DOUTFILE=${TESSARO_SETUP} ${PROJECT_SOURCE_DIR}/cmake/windows/tessaro.nsi
        DEPENDS tessaro_deploy $<TARGET_FILE:tessaro> ${PROJECT_SOURCE_DIR}/cmake/windows/tessaro.nsi
        COMMENT "Making the installer ${TESSARO_SETUP}"
        VERBATIM
    )
    add_custom_target(tessaro_installer ALL DEPENDS ${TESSARO_SETUP})
endif()
