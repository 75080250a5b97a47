# The Debian package, made by CPack from the install rules (./run package).
# Its dependencies come from the binaries (dpkg-shlibdeps) plus what Qt
# loads at run time: the platform plugins, which no binary links.
set(quor_doc_dir ${CMAKE_BINARY_DIR}/packaging/doc)
set(quor_maintainer "BRENNOW Srl <assistenza@zkm.it>")
string(TIMESTAMP quor_changelog_date "%a, %d %b %Y 00:00:00 +0000" UTC)
if(DEFINED QUOR_RELEASE_DATE)
  # The release date, as the metainfo and the manuals carry it.
  execute_process(COMMAND date -u -R -d "${QUOR_RELEASE_DATE}"
                  OUTPUT_VARIABLE quor_changelog_date OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${quor_doc_dir}/copyright @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.Debian.in ${quor_doc_dir}/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${quor_doc_dir}/changelog.Debian.gz
  COMMAND gzip -9nf -k ${quor_doc_dir}/changelog.Debian
  DEPENDS ${quor_doc_dir}/changelog.Debian
  COMMENT "Compressing the Debian changelog")
add_custom_target(quor_package_docs ALL DEPENDS ${quor_doc_dir}/changelog.Debian.gz)
set(quor_package_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/zkm-maintenance)
install(FILES ${quor_doc_dir}/copyright ${quor_doc_dir}/changelog.Debian.gz
        DESTINATION ${quor_package_doc_dir} COMPONENT package)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zkm-maintenance)
set(CPACK_PACKAGE_VENDOR "BRENNOW Srl")
set(CPACK_PACKAGE_CONTACT "${quor_maintainer}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "backup, restore and file management of the ZKM Quorvane key")
# The long description; CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"ZKM Quorvane Maintenance Tools finds the product's USB key, backs it up
into split ZIP archives and restores it, checks it, installs service
packs, and manages the original and modified ECU files, their database
and the user's own drivers that the product keeps on the key.

The package also holds qbk, which creates, lists, tests and extracts
the key's backups from the command line.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.zkm.it/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# Folders are 0755 and owned by root, as Debian's policy wants them.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
