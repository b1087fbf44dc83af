# The Debian package (make package): what is installed where, the maintainer scripts,
# and CPack's DEB generator, which takes the dependencies from dpkg-shlibdeps.

set(package_dir ${PROJECT_SOURCE_DIR}/package)
set(package_out ${CMAKE_BINARY_DIR}/package)
set(TRELLAN_MODULE /usr/${TRELLAN_PRIVATE_DIR}/libTrellan64.so)

set(installed_programs trellan-run trellan-host trellan-regsvr trellan-post trellan-picture)
# What the package installs binds every symbol at load and keeps its relocations
# read-only after, so that a fault cannot redirect them.
foreach(target ${installed_programs} trellan-session Trellan64 TrellanPlatform)
  target_link_options(${target} PRIVATE -Wl,-z,relro,-z,now)
endforeach()

install(TARGETS ${installed_programs} RUNTIME DESTINATION bin)
install(TARGETS trellan-session RUNTIME DESTINATION ${TRELLAN_PRIVATE_DIR})
install(TARGETS Trellan64 TrellanPlatform LIBRARY DESTINATION ${TRELLAN_PRIVATE_DIR} NAMELINK_SKIP)
install(FILES ${package_dir}/trellan-host.socket ${package_dir}/trellan-host.service DESTINATION lib/systemd/user)
install(FILES ${package_dir}/allowed-origins ${package_dir}/tls-exceptions DESTINATION /etc/trellan)
install(FILES README.md ${package_dir}/copyright ${package_out}/changelog.gz DESTINATION share/doc/trellan)

# Manual pages and the changelog (of a native package), gzip'd without a time stamp as Debian wants.
set(man_pages)
foreach(program trellan-run trellan-host trellan-session trellan-regsvr trellan-post trellan-picture)
  configure_file(${package_dir}/man/${program}.1 ${package_out}/${program}.1 @ONLY)
  list(APPEND man_pages ${package_out}/${program}.1.gz)
endforeach()
configure_file(${package_dir}/changelog.in ${package_out}/changelog @ONLY)
set(gzipped ${man_pages} ${package_out}/changelog.gz)
foreach(file ${gzipped})
  string(REGEX REPLACE "\\.gz$" "" plain ${file})
  add_custom_command(OUTPUT ${file} COMMAND gzip -9nf -k ${plain} DEPENDS ${plain} VERBATIM)
endforeach()
add_custom_target(package-files ALL DEPENDS ${gzipped})
install(FILES ${man_pages} DESTINATION share/man/man1)

foreach(script postinst prerm postrm)
  configure_file(${package_dir}/${script} ${package_out}/${script} @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
configure_file(${package_dir}/conffiles ${package_out}/conffiles COPYONLY)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trellan)
set(CPACK_PACKAGE_VENDOR "The Trellan developers")
set(CPACK_PACKAGE_CONTACT "The Trellan developers <developers@trellan.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photo upload control for web pages")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Trellan lets a web page offer its users a photo upload control: they
pick or drop photos, see them as thumbnails, crop and rotate them, and
send them to the site's server with progress shown. A per-user service,
started on demand by a systemd socket on the loopback addresses, runs
the control for the page; the administrator chooses which sites may
use it.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${TRELLAN_PRIVATE_DIR})
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${package_out}/postinst ${package_out}/prerm ${package_out}/postrm
    ${package_out}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/cpack)
include(CPack)
