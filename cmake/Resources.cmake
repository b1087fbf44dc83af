# Resources compiled into the module: resources/Resources.txt lists one resource a
# line as TYPE ID FILE (FILE relative to resources/). The bytes of every file are
# written into a generated source, rebuilt when the table or any listed file changes.
set(TRELLAN_RESOURCE_DIR ${PROJECT_SOURCE_DIR}/resources)
set(TRELLAN_RESOURCE_TABLE ${TRELLAN_RESOURCE_DIR}/Resources.txt)
set(TRELLAN_RESOURCE_SOURCE ${CMAKE_BINARY_DIR}/generated/EmbeddedResources.cpp)

# A new row in the table re-runs the configuration, so its file becomes a dependency.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TRELLAN_RESOURCE_TABLE})
file(STRINGS ${TRELLAN_RESOURCE_TABLE} resource_rows REGEX "^[ \t]*[^# \t]")
set(resource_files)
foreach(row ${resource_rows})
  string(REGEX MATCH "[^ \t]+[ \t]*$" file ${row})
  string(STRIP ${file} file)
  list(APPEND resource_files ${TRELLAN_RESOURCE_DIR}/${file})
endforeach()

add_custom_command(
  OUTPUT ${TRELLAN_RESOURCE_SOURCE}
  COMMAND ${CMAKE_COMMAND} -DTABLE=${TRELLAN_RESOURCE_TABLE} -DOUTPUT=${TRELLAN_RESOURCE_SOURCE}
          -P ${PROJECT_SOURCE_DIR}/cmake/EmbedResources.cmake
  DEPENDS ${TRELLAN_RESOURCE_TABLE} ${resource_files} ${PROJECT_SOURCE_DIR}/cmake/EmbedResources.cmake
          ${PROJECT_SOURCE_DIR}/cmake/ByteArray.cmake
  COMMENT "Embedding resources"
  VERBATIM)
# The table is an object of its own, linked directly into the module and into every
# program that links the components, since nothing references it by name: it registers
# itself with the platform when loaded.
add_library(TrellanResources OBJECT ${TRELLAN_RESOURCE_SOURCE})
target_link_libraries(TrellanResources PRIVATE TrellanPlatform)
target_sources(Trellan64 PRIVATE $<TARGET_OBJECTS:TrellanResources>)
target_sources(TrellanComponents INTERFACE $<TARGET_OBJECTS:TrellanResources>)

# The program that draws the skin art; built only on request (make skin-art).
file(GLOB skin_art_sources CONFIGURE_DEPENDS ${TRELLAN_RESOURCE_DIR}/art/*.cpp)
if(skin_art_sources)
  add_executable(skin-art EXCLUDE_FROM_ALL ${skin_art_sources})
  trellan_warnings(skin-art)
  target_link_libraries(skin-art PRIVATE PkgConfig::CAIRO PkgConfig::PANGOCAIRO)
endif()
