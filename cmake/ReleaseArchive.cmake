# The release archive for players: bkTrnwck-<version>-win64.zip with bkTrnwck.exe and
# README-player.txt at its top level. Where libgcrypt is linked in (see Sha256.h), its
# licence asks for more, which the archive holds too: "licences" (the LGPL 2.1 and the
# copyright of libgcrypt and libgpg-error) and "relink" (the program's own object code
# and how to link it with another build of the libraries). Made by CPack (ZIP generator, which
# needs no archive tool: CMake carries its own) through either
#   cmake --build --preset mingw --target release_archive   (then checks what it holds)
#   cmake --build --preset mingw --target package            (CPack's own)
# Both build the whole project first (CPack's preinstall step). The archive lands in the
# build folder.

# The player's README, with Windows line ends: players open it in Notepad.
configure_file(${CMAKE_SOURCE_DIR}/res/README-player.txt.in ${CMAKE_BINARY_DIR}/README-player.txt
  @ONLY NEWLINE_STYLE CRLF)

# The only things installed, so the only things packed.
install(TARGETS bkTrnwck RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/README-player.txt DESTINATION .)

if(BKTRNWCK_HAVE_LIBGCRYPT)
  # The package's version, for the relink notes ("" where no Debian package is asked).
  execute_process(COMMAND dpkg-query -W "-f=\${Version}" libgcrypt-mingw-w64-dev
                  OUTPUT_VARIABLE BKTRNWCK_GCRYPT_VERSION OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  list(TRANSFORM BKTRNWCK_SYSTEM_LIBRARIES PREPEND "-l" OUTPUT_VARIABLE system_libs)
  list(APPEND system_libs -lws2_32)
  list(JOIN system_libs " " BKTRNWCK_SYSTEM_LIBS)
  configure_file(${CMAKE_SOURCE_DIR}/res/RELINK.txt.in ${CMAKE_BINARY_DIR}/RELINK.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_BINARY_DIR}/RELINK.txt $<TARGET_OBJECTS:bkTrnwck> $<TARGET_FILE:bktrnwck_core>
          DESTINATION relink)
  install(FILES /usr/share/common-licenses/LGPL-2.1 DESTINATION licences RENAME LGPL-2.1.txt)
  install(FILES /usr/share/doc/libgcrypt-mingw-w64-dev/copyright DESTINATION licences RENAME libgcrypt.txt)
  install(FILES /usr/share/doc/libgpg-error-mingw-w64-dev/copyright DESTINATION licences RENAME libgpg-error.txt)
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(BKTRNWCK_PLATFORM win64)
else()
  set(BKTRNWCK_PLATFORM win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME bkTrnwck)
set(CPACK_PACKAGE_VENDOR "Glimmerfen Studios")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME bkTrnwck-${PROJECT_VERSION}-${BKTRNWCK_PLATFORM})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# Before include(CPack), which leaves CPACK_PACKAGE_FILE_NAME set to the source package's.
set(BKTRNWCK_ARCHIVE ${CMAKE_BINARY_DIR}/${CPACK_PACKAGE_FILE_NAME}.zip)
include(CPack)

add_custom_target(release_archive
  COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
          "$<$<BOOL:$<CONFIG>>:-C;$<CONFIG>>"
  COMMAND ${CMAKE_COMMAND} -DARCHIVE=${BKTRNWCK_ARCHIVE} -DVERSION=${BKTRNWCK_VERSION_FULL}
          -DLIBGCRYPT=${BKTRNWCK_HAVE_LIBGCRYPT} -P ${CMAKE_SOURCE_DIR}/cmake/CheckRelease.cmake
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Making and checking ${BKTRNWCK_ARCHIVE}"
  COMMAND_EXPAND_LISTS VERBATIM)
add_dependencies(release_archive bkTrnwck)
