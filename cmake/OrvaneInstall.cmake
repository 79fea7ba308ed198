# Installation: headers under include/orvane/, the libraries, a CMake package
# (find_package(OrvanePicture), targets Orvane::Picture, Orvane::Forms,
# Orvane::SdlBackend), a pkg-config file for the drawing library, and a
# Debian package through CPack.
include(CMakePackageConfigHelpers)

set(ORVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/OrvanePicture)
set(ORVANE_HEADER_DIR ${CMAKE_INSTALL_INCLUDEDIR}/orvane)

# The public headers are those directly in a layer's folder and in the
# package's; a detail/ folder beside them holds the libraries' internals,
# which are not installed and whose symbols are not exported unless another
# of the libraries needs them. `orvane_public_headers(var folder prefix)`
# lists a folder's public headers as installed paths (prefix/name.h).
function(orvane_public_headers var folder prefix)
  file(GLOB headers RELATIVE ${PROJECT_SOURCE_DIR}/${folder} CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  list(TRANSFORM headers PREPEND "${prefix}")
  set(${var} ${headers} PARENT_SCOPE)
endfunction()
set(ORVANE_PICTURE_HEADERS "")
foreach(layer rtl gdi graphics)
  orvane_public_headers(headers platform/${layer} ${layer}/)
  list(APPEND ORVANE_PICTURE_HEADERS ${headers})
endforeach()
orvane_public_headers(package_headers OrvanePicture "")
# The image control and the SDL2 backend belong with their own libraries.
list(REMOVE_ITEM package_headers OrvaneImage.h)
list(APPEND ORVANE_PICTURE_HEADERS ${package_headers})
orvane_public_headers(forms_headers platform/forms forms/)
orvane_public_headers(backend_headers platform/backend backend/)
list(REMOVE_ITEM backend_headers backend/SdlBackend.h)
set(ORVANE_FORMS_HEADERS ${forms_headers} ${backend_headers} OrvaneImage.h)
set(ORVANE_SDL_HEADERS backend/SdlBackend.h)

function(orvane_install_headers component)
  foreach(header IN LISTS ARGN)
    get_filename_component(folder ${header} DIRECTORY)
    # The build tree's entry may be a link into the sources: install the file it names.
    file(REAL_PATH ${ORVANE_INCLUDE_ROOT}/orvane/${header} source)
    install(FILES ${source} DESTINATION ${ORVANE_HEADER_DIR}/${folder} COMPONENT ${component})
  endforeach()
endfunction()
orvane_install_headers(development ${ORVANE_PICTURE_HEADERS})
orvane_install_headers(development ${ORVANE_FORMS_HEADERS})
install(FILES ${ORVANE_INCLUDE_ROOT}/orvane/Version.h DESTINATION ${ORVANE_HEADER_DIR} COMPONENT development)

set(ORVANE_INSTALLED_LIBRARIES orvane_picture orvane_forms)
if(ORVANE_SDL_BACKEND)
  orvane_install_headers(development ${ORVANE_SDL_HEADERS})
  list(APPEND ORVANE_INSTALLED_LIBRARIES orvane_sdl_backend)
endif()
install(TARGETS ${ORVANE_INSTALLED_LIBRARIES} EXPORT OrvanePictureTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT libraries NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT libraries)
install(EXPORT OrvanePictureTargets NAMESPACE Orvane:: DESTINATION ${ORVANE_CMAKE_DIR} COMPONENT development)

set(ORVANE_HAS_SDL_BACKEND ${ORVANE_SDL_BACKEND})
configure_package_config_file(cmake/OrvanePictureConfig.cmake.in
  ${PROJECT_BINARY_DIR}/OrvanePictureConfig.cmake INSTALL_DESTINATION ${ORVANE_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/OrvanePictureConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/OrvanePictureConfig.cmake ${PROJECT_BINARY_DIR}/OrvanePictureConfigVersion.cmake
  DESTINATION ${ORVANE_CMAKE_DIR} COMPONENT development)

# pkg-config: the drawing library, relocatable (the prefix is found from the
# file's own folder). A static library needs its dependencies on the link
# line too, which `pkg-config --static` adds from Requires.private.
file(RELATIVE_PATH ORVANE_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" ORVANE_PC_TO_PREFIX "${ORVANE_PC_TO_PREFIX}")
configure_file(cmake/orvane-picture.pc.in ${PROJECT_BINARY_DIR}/orvane-picture.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orvane-picture.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT development)

# The C interface: liborvane.so.0, <orvane/orvane.h> and `pkg-config orvane`.
install(TARGETS orvane_c
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT libraries NAMELINK_COMPONENT development)
orvane_install_headers(development orvane.h)
configure_file(cmake/orvane.pc.in ${PROJECT_BINARY_DIR}/orvane.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orvane.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)

# The Python module (`import orvane`, ctypes over liborvane) where Debian's
# Python looks for packages under the prefix: /usr/lib/python3/dist-packages
# for /usr, PREFIX/lib/python3/dist-packages (on PYTHONPATH) otherwise. It
# finds the library through the relative path in _install.py.
set(ORVANE_PYTHON_INSTALL_DIR lib/python3/dist-packages CACHE STRING
    "Where the Python module goes, relative to the prefix")
file(RELATIVE_PATH ORVANE_PYTHON_TO_LIBDIR /prefix/${ORVANE_PYTHON_INSTALL_DIR}/orvane /prefix/${CMAKE_INSTALL_LIBDIR})
file(WRITE ${PROJECT_BINARY_DIR}/python/_install.py
     "# Written by CMake: the folder of liborvane, relative to this package's.\nLIBRARY_DIR = \"${ORVANE_PYTHON_TO_LIBDIR}\"\n")
install(FILES python/orvane/__init__.py python/orvane/_library.py python/orvane/_png.py
              ${PROJECT_BINARY_DIR}/python/_install.py
        DESTINATION ${ORVANE_PYTHON_INSTALL_DIR}/orvane COMPONENT python)

if(NOT PROJECT_IS_TOP_LEVEL)
  return()  # packaging is the enclosing project's business
endif()

# cpack -G DEB: one package with the libraries, headers, CMake and
# pkg-config files, the render tool and its manual page.
set(CPACK_PACKAGE_NAME orvane-picture)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "OrvanePicture developers <orvane-picture@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The libraries' own dependencies, from the binaries (dpkg-shlibdeps), and
# the development packages a program built against the headers needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libfreetype-dev, libfontconfig-dev, libpng-dev, zlib1g-dev")
# The metric-compatible faces for the Windows and office font names pictures ask for.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-crosextra-carlito, fonts-crosextra-caladea")
# The Python module (lib/python3/dist-packages/orvane) runs on Debian's Python; NumPy for Image.array().
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3, python3-numpy")
if(ORVANE_SDL_BACKEND)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libsdl2-dev")
endif()
# The gdk-pixbuf loader module: gdk-pixbuf's package rebuilds the loader
# cache through a dpkg file trigger on its loader folder, and the
# postinst activates that trigger once more after configuration. The
# shared MIME database's package does the same for the MIME types file.
if(TARGET orvane_pixbuf_loader)
  set(ORVANE_DEB_PIXBUF_MODULEDIR ${ORVANE_GDK_PIXBUF_MODULEDIR})
  if(NOT IS_ABSOLUTE ${ORVANE_DEB_PIXBUF_MODULEDIR})
    set(ORVANE_DEB_PIXBUF_MODULEDIR ${CPACK_PACKAGING_INSTALL_PREFIX}/${ORVANE_DEB_PIXBUF_MODULEDIR})
  endif()
  configure_file(gdk-pixbuf/debian-postinst.in ${PROJECT_BINARY_DIR}/debian/postinst @ONLY
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                  WORLD_READ WORLD_EXECUTE)
  list(APPEND CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/postinst)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
endif()
include(CPack)
