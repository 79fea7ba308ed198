# The headers are included as <orvane/rtl/...>, <orvane/gdi/...>,
# <orvane/graphics/...>, <orvane/forms/...>, <orvane/backend/...> and, for
# the package itself, <orvane/...>, in the tree as after installation. The
# build tree gets an include folder whose orvane/ entries are symbolic links
# to the source folders (and to each header of the package), so the sources
# stay where they are and no copy can go stale.
set(ORVANE_INCLUDE_ROOT ${PROJECT_BINARY_DIR}/include)
set(ORVANE_PLATFORM_LAYERS rtl gdi graphics forms backend)
file(MAKE_DIRECTORY ${ORVANE_INCLUDE_ROOT}/orvane)
foreach(layer IN LISTS ORVANE_PLATFORM_LAYERS)
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/platform/${layer} ${ORVANE_INCLUDE_ROOT}/orvane/${layer} SYMBOLIC)
endforeach()
file(GLOB ORVANE_PACKAGE_HEADERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/OrvanePicture/*.h)
foreach(header IN LISTS ORVANE_PACKAGE_HEADERS)
  get_filename_component(name ${header} NAME)
  file(CREATE_LINK ${header} ${ORVANE_INCLUDE_ROOT}/orvane/${name} SYMBOLIC)
endforeach()
file(CREATE_LINK ${PROJECT_SOURCE_DIR}/OrvanePicture/detail ${ORVANE_INCLUDE_ROOT}/orvane/detail SYMBOLIC)
# The C interface's header, <orvane/orvane.h>.
file(CREATE_LINK ${PROJECT_SOURCE_DIR}/capi/orvane.h ${ORVANE_INCLUDE_ROOT}/orvane/orvane.h SYMBOLIC)

# orvane_objects(name SOURCES ... PRIVATE_DEPENDS ...): the compiled sources
# of one folder. Folders are put together into the installed libraries by
# orvane_assemble; symbols are hidden unless a header marks them public.
# Position-independent in static builds too: liborvane (capi/) is a shared
# library made of the same objects.
function(orvane_objects name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PRIVATE_DEPENDS" ${ARGN})
  add_library(${name} OBJECT ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${ORVANE_INCLUDE_ROOT})
  target_link_libraries(${name} PRIVATE ${ARG_PRIVATE_DEPENDS})
  set_target_properties(${name} PROPERTIES
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON POSITION_INDEPENDENT_CODE ON)
endfunction()

# orvane_assemble(target EXPORT_NAME name OUTPUT_NAME file PARTS folders...
#                 DEPENDS libs... PRIVATE_DEPENDS libs...)
# One installed library (static or shared, as BUILD_SHARED_LIBS says) made of
# the objects of some folders, known as Orvane::<EXPORT_NAME>. The tests,
# tools and fuzz targets use internals that a shared library hides, so they
# link <target>_internal: the same library, or in a shared build a static one
# made of the same objects.
function(orvane_assemble name)
  cmake_parse_arguments(ARG "" "EXPORT_NAME;OUTPUT_NAME" "PARTS;DEPENDS;PRIVATE_DEPENDS" ${ARGN})
  set(objects "")
  foreach(part IN LISTS ARG_PARTS)
    list(APPEND objects $<TARGET_OBJECTS:${part}>)
  endforeach()
  add_library(${name} ${objects})
  add_library(Orvane::${ARG_EXPORT_NAME} ALIAS ${name})
  set_target_properties(${name} PROPERTIES OUTPUT_NAME ${ARG_OUTPUT_NAME} EXPORT_NAME ${ARG_EXPORT_NAME}
                                           VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION})
  # The folders it is made of, for libraries built from the same objects (capi/).
  set_property(TARGET ${name} PROPERTY ORVANE_PARTS ${ARG_PARTS})
  target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${ORVANE_INCLUDE_ROOT}>
                                            $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE_DEPENDS})
  if(BUILD_SHARED_LIBS)
    target_link_options(${name} PRIVATE -Wl,--no-undefined)
    set(internal_depends "")
    foreach(dep IN LISTS ARG_DEPENDS)
      list(APPEND internal_depends ${dep}_internal)
    endforeach()
    add_library(${name}_internal STATIC ${objects})
    target_include_directories(${name}_internal PUBLIC ${ORVANE_INCLUDE_ROOT})
    target_link_libraries(${name}_internal PUBLIC ${internal_depends} ${ARG_PRIVATE_DEPENDS})
  else()
    add_library(${name}_internal ALIAS ${name})
  endif()
endfunction()

# orvane_test(name SOURCES ... DEPENDS ...): one GoogleTest executable registered with CTest.
function(orvane_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()

# orvane_add_resources(target [FORM|BINARY|ICON name file]...): embeds files
# into an executable as resources (orvane::vcl::FindResource). At build time a
# generator (cmake/EmbedResources.cmake, run in script mode) writes one
# source with the bytes of every file and registers them at start-up; the
# target must link `forms`. Use it on executables: a static library would
# drop the unreferenced registration.
function(orvane_add_resources target)
  set(entries "")
  set(files "")
  set(args ${ARGN})
  list(LENGTH args count)
  math(EXPR rest "${count} % 3")
  if(count EQUAL 0 OR NOT rest EQUAL 0)
    message(FATAL_ERROR "orvane_add_resources: expected kind, name and file triples")
  endif()
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 3)
    math(EXPR n "${i} + 1")
    math(EXPR f "${i} + 2")
    list(GET args ${i} kind)
    list(GET args ${n} name)
    list(GET args ${f} file)
    if(NOT kind MATCHES "^(FORM|BINARY|ICON)$")
      message(FATAL_ERROR "orvane_add_resources: unknown kind ${kind}")
    endif()
    get_filename_component(file "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND entries "${kind}|${name}|${file}")
    list(APPEND files "${file}")
  endforeach()
  set(output "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp")
  string(REPLACE ";" "@" packed "${entries}")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND ${CMAKE_COMMAND} "-DOUTPUT=${output}" "-DENTRIES=${packed}"
            -P "${PROJECT_SOURCE_DIR}/cmake/EmbedResources.cmake"
    DEPENDS ${files} "${PROJECT_SOURCE_DIR}/cmake/EmbedResources.cmake"
    COMMENT "Embedding resources of ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}")
endfunction()
