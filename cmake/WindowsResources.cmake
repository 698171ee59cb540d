# The Windows program's resources: the icon (drawn from the program's SVG by
# render-icons), the version information (the version the About box shows)
# and the application manifest (per-monitor DPI awareness, common controls 6,
# no elevation). The program is a GUI-subsystem program (add_executable WIN32).
function(tessaro_add_windows_resources target)
    enable_language(RC)
    set(folder ${CMAKE_CURRENT_BINARY_DIR}/windows-resources)
    set(TESSARO_RC_ICON ${folder}/tessaro.ico)
    set(TESSARO_RC_MANIFEST ${folder}/tessaro.manifest)
    # Four numbers of 16 bits each; the project's version has two.
    set(TESSARO_RC_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
    set(TESSARO_RC_VERSION_DOTS "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.0.0")
    configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/tessaro.manifest ${TESSARO_RC_MANIFEST} @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/tessaro.rc.in ${folder}/tessaro.rc @ONLY)
    add_custom_command(
        OUTPUT ${TESSARO_RC_ICON}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                $<TARGET_FILE:render-icons> ico ${TESSARO_RC_ICON} 16,20,24,32,40,48,64,256
                ${PROJECT_SOURCE_DIR}/src/ui/icons/tessaro.svg
        DEPENDS render-icons ${PROJECT_SOURCE_DIR}/src/ui/icons/tessaro.svg
        COMMENT "Drawing tessaro.ico"
        VERBATIM
    )
    set_source_files_properties(${folder}/tessaro.rc PROPERTIES
        OBJECT_DEPENDS "${TESSARO_RC_ICON};${TESSARO_RC_MANIFEST}")
    target_sources(${target} PRIVATE ${folder}/tessaro.rc)
endfunction()
