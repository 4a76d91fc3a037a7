# Installs the build into a scratch prefix and checks that a desktop can start Quendra from
# its menu: both programs, the menu entry and the icon.
#     cmake -DBUILD_DIR=... -DPREFIX=... -P check_install.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
foreach(path bin/quendra bin/quendra-plot share/applications/quendra.desktop
        share/icons/hicolor/scalable/apps/quendra.svg share/icons/hicolor/128x128/apps/quendra.png)
    if(NOT EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
file(STRINGS "${PREFIX}/share/applications/quendra.desktop" entry)
foreach(line "Type=Application" "Exec=quendra" "Icon=quendra" "Name=Quendra")
    if(NOT line IN_LIST entry)
        message(FATAL_ERROR "quendra.desktop lacks ${line}")
    endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
