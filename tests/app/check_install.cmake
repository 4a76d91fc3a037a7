# Installs the build into a scratch prefix and checks that a desktop can start Quendra from
# its menu and show it in a software centre: both programs, the menu entry, the icon, the
# description for software centres and the manual pages.
#     cmake -DBUILD_DIR=... -DPREFIX=... -P check_install.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
set(entry_file share/applications/org.quendra.quendra.desktop)
foreach(path bin/quendra bin/quendra-plot ${entry_file}
        share/icons/hicolor/scalable/apps/quendra.svg share/icons/hicolor/128x128/apps/quendra.png
        share/metainfo/org.quendra.quendra.metainfo.xml share/man/man1/quendra-plot.1.gz
        share/man/ja/man1/quendra-plot.1.gz)
    if(NOT EXISTS "${PREFIX}/${path}")
        message(FATAL_ERROR "not installed: ${path}")
    endif()
endforeach()
file(STRINGS "${PREFIX}/${entry_file}" entry)
foreach(line "Type=Application" "Exec=quendra" "Icon=quendra" "Name=Quendra")
    if(NOT line IN_LIST entry)
        message(FATAL_ERROR "${entry_file} lacks ${line}")
    endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
