# What `cmake --install` puts where, and the Debian package `cpack -G DEB` makes of it:
#   bin/                                   the programs
#   share/applications/                    a menu entry per desktop program
#   share/icons/hicolor/scalable/apps/     their icons
#   share/vornelkarvo/guide/               the user's guide
#   share/vornelkarvo/browser/             the browser extensions and host manifests
#                                          (src/browserhelper/CMakeLists.txt)
#   share/vornelkarvo/Lang-I, FTPHelp.html, SProfiles
#                                          what the build tree keeps beside the
#                                          programs (AppPaths::shippedPath)
# The build tree gets the same share/vornelkarvo/guide beside its bin/, so that a
# program run from the build finds the guide where an installed one does.
include(GNUInstallDirs)

# Programs installed when the tree builds them, with the menu entry and icon that
# belong to the desktop ones (the .desktop file and icon under share/ carry the name
# after the colon).
set(VK_PROGRAMS lumet lumet-desktop:lumet lumet-send karvo:karvo karvoie-host)

# Folders installed under share/vornelkarvo/ when they exist, as pairs of
# <folder of the source tree> <folder under share/vornelkarvo>. A part that ships
# more files adds a pair here (or calls vk_install_shared from its own CMakeLists).
set(VK_SHARED_FOLDERS
  share/vornelkarvo/guide guide)

set(VK_SHARED_DESTINATION ${CMAKE_INSTALL_DATADIR}/vornelkarvo)

# vk_install_shared(<file or folder> <folder under share/vornelkarvo>): for files a
# part makes while building (e.g. a packed browser extension).
function(vk_install_shared path destination)
  if(IS_DIRECTORY ${path})
    install(DIRECTORY ${path}/ DESTINATION ${VK_SHARED_DESTINATION}/${destination})
  else()
    install(FILES ${path} DESTINATION ${VK_SHARED_DESTINATION}/${destination})
  endif()
endfunction()

# Called at the end of the top-level CMakeLists, once every target exists.
function(vk_install_everything)
  foreach(entry IN LISTS VK_PROGRAMS)
    string(REPLACE ":" ";" parts ${entry})
    list(GET parts 0 program)
    if(NOT TARGET ${program})
      continue()
    endif()
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    list(LENGTH parts count)
    if(count GREATER 1)
      list(GET parts 1 entryName)
      install(FILES ${PROJECT_SOURCE_DIR}/share/applications/${entryName}.desktop
              DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
      install(FILES ${PROJECT_SOURCE_DIR}/share/icons/hicolor/scalable/apps/${entryName}.svg
              DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    endif()
  endforeach()

  set(pairs ${VK_SHARED_FOLDERS})
  set(copies)
  while(pairs)
    list(POP_FRONT pairs source destination)
    set(folder ${PROJECT_SOURCE_DIR}/${source})
    if(NOT IS_DIRECTORY ${folder})
      continue()
    endif()
    vk_install_shared(${folder} ${destination})
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_directory ${folder}
         ${CMAKE_BINARY_DIR}/share/vornelkarvo/${destination})
  endwhile()
  # The build tree's copy, renewed at every build.
  add_custom_target(vk_shared_files ALL ${copies} VERBATIM)
endfunction()

# The Debian package: the programs' libraries (Qt, OpenSSL) come from
# dpkg-shlibdeps; what Qt loads at run time (the desktop platform plugins) is named here.
set(CPACK_PACKAGE_NAME vornelkarvo)
set(CPACK_PACKAGE_VENDOR "VornelKarvo")
set(CPACK_PACKAGE_CONTACT "VornelKarvo maintainers <maintainers@vornelkarvo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Download manager (Lumet) with browser capture, and FTP client (Karvo)")
set(CPACK_PACKAGE_DESCRIPTION "Lumet downloads http://, https:// and ftp:// addresses over one connection or\n in up to six segments, with pause, resume, a queue, save rules and a scheduler;\n Karvo is an FTP client with site profiles and folder synchronisation.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vornelkarvo.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "chromium | firefox-esr")
include(CPack)
