# The portable package: `cpack` in the Windows tree writes velmora-<version>-win64.zip, one top
# folder of the same name holding Velmora.exe (statically linked: no DLLs beside it), the help
# page, README.md and LICENSE. Pictures go in only when README.md shows them.
if(NOT WIN32 OR NOT TARGET Velmora)
  return()
endif()

install(TARGETS Velmora RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/app/index.html ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
        DESTINATION .)

# A README image that nothing references is only weight; one that is referenced belongs beside
# the README, or an unpacked README shows a broken picture.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/README.md)
file(READ ${CMAKE_SOURCE_DIR}/README.md VELMORA_README_TEXT)
string(REGEX MATCHALL "!\\[[^]]*\\]\\(docs/[A-Za-z0-9_.-]+\\)" VELMORA_README_IMAGES "${VELMORA_README_TEXT}")
foreach(reference IN LISTS VELMORA_README_IMAGES)
  string(REGEX REPLACE "^.*\\((.*)\\)$" "\\1" image "${reference}")
  if(EXISTS ${CMAKE_SOURCE_DIR}/${image})
    install(FILES ${CMAKE_SOURCE_DIR}/${image} DESTINATION docs)
  endif()
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME velmora-${PROJECT_VERSION}-win64)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
# One top folder, named like the zip, so that unpacking never scatters files.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# The build keeps debug information for the developers; the package does not need it.
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
