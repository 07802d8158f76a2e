# Help pages, desktop entry and program icon: install rules, the build-tree
# copy of the help, and a check of the desktop entry. Included from
# resources/CMakeLists.txt.
include(GNUInstallDirs)

get_filename_component(cirrodex_res_dir "${CMAKE_CURRENT_LIST_DIR}" DIRECTORY)
set(cirrodex_help_dir "${cirrodex_res_dir}/help")
set(cirrodex_icon_dir "${cirrodex_res_dir}/icons")

# The program finds its help in share/cirrodex/help beside bin/, so the build
# tree gets a copy at configure time. configure_file makes every page a
# configure dependency, and the glob notices added or removed pages.
file(GLOB cirrodex_help_files CONFIGURE_DEPENDS
     "${cirrodex_help_dir}/*.html" "${cirrodex_help_dir}/*.css" "${cirrodex_help_dir}/topics.txt")
foreach(f IN LISTS cirrodex_help_files)
  get_filename_component(name "${f}" NAME)
  configure_file("${f}" "${CMAKE_BINARY_DIR}/share/cirrodex/help/${name}" COPYONLY)
endforeach()

install(FILES ${cirrodex_help_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/cirrodex/help)
install(FILES "${CMAKE_CURRENT_LIST_DIR}/cirrodex.desktop" DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(n 16 22 24 32 48 64 128 256)
  install(FILES "${cirrodex_icon_dir}/hicolor/${n}x${n}/apps/cirrodex.png"
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${n}x${n}/apps)
endforeach()
install(FILES "${cirrodex_icon_dir}/cirrodex.svg" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  add_test(NAME desktop_file_valid COMMAND ${DESKTOP_FILE_VALIDATE} "${CMAKE_CURRENT_LIST_DIR}/cirrodex.desktop")
else()
  message(STATUS "desktop-file-validate not found (Debian: desktop-file-utils); desktop_file_valid test skipped")
endif()

# The notification-area icon's picture, found in share/cirrodex beside bin/
# when the icon theme has no "cirrodex" (a program run from the build tree).
configure_file("${cirrodex_icon_dir}/hicolor/16x16/apps/cirrodex.png" "${CMAKE_BINARY_DIR}/share/cirrodex/icons/cirrodex-16.png"
               COPYONLY)
install(FILES "${cirrodex_icon_dir}/hicolor/16x16/apps/cirrodex.png" DESTINATION ${CMAKE_INSTALL_DATADIR}/cirrodex/icons
        RENAME cirrodex-16.png)
