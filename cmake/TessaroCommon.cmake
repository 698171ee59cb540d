# Compile settings shared by every target of the project. Targets pick them up
# by linking tessaro_common; nothing is set globally.
add_library(tessaro_common INTERFACE)

# The program's name on the desktop: its launcher, icons and software-centre
# entry carry it, and the running window names it so the desktop ties them
# together.
set(TESSARO_APP_ID "org.example.tessaro.Tessaro")

target_compile_features(tessaro_common INTERFACE cxx_std_20)

target_compile_definitions(tessaro_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_KEYWORDS
)
# The version, the homepage and the desktop name reach only the sources that
# use them (see src/app and the program's target): a new version must not
# rebuild every file.

if(MSVC)
    target_compile_options(tessaro_common INTERFACE /W4 /permissive- /utf-8)
    if(TESSARO_WARNINGS_AS_ERRORS)
        target_compile_options(tessaro_common INTERFACE /WX)
    endif()
else()
    target_compile_options(tessaro_common INTERFACE -Wall -Wextra -Wpedantic)
    if(TESSARO_WARNINGS_AS_ERRORS)
        target_compile_options(tessaro_common INTERFACE -Werror)
    endif()
endif()
