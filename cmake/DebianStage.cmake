# Run by CPack on the staged files of the Debian package: manual pages compressed as
# Debian wants them (gzip -9n, no time stamp), the copyright file and the changelog.
set(staged ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
if(NOT IS_DIRECTORY ${staged}/bin)
  message(FATAL_ERROR "no staged files under ${staged}")
endif()

file(GLOB pages ${staged}/share/man/man*/*.[1-9])
foreach(page IN LISTS pages)
  execute_process(COMMAND gzip -9nf ${page} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

set(doc ${staged}/share/doc/${CPACK_PACKAGE_NAME})
file(COPY ${CPACK_MEMRO_DEBIAN_DIR}/copyright DESTINATION ${doc}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
# The package is its own upstream (no Debian revision): its changelog is changelog.gz.
execute_process(COMMAND gzip -9n -c ${CPACK_MEMRO_DEBIAN_DIR}/changelog
                OUTPUT_FILE ${doc}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
