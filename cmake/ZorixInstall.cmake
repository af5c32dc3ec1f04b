# Installing Zorix: programs, shared libraries, the engine's headers with pkg-config
# and CMake package files, the Qt image-format plugin, the desktop data and the
# manual pages. Tests, benchmarks and the control gallery are never installed.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

add_subdirectory(thumbnailer)
add_subdirectory(desktop)
if(TARGET Qt6::Gui)
  add_subdirectory(imageformats)
endif()

# The relative path from one install folder to another, for RPATHs and relocatable
# package files.
function(zorix_relative_path out_var from to)
  file(RELATIVE_PATH rel /zorix-prefix/${from} /zorix-prefix/${to})
  if(rel STREQUAL "")
    set(rel .)
  endif()
  set(${out_var} ${rel} PARENT_SCOPE)
endfunction()

# Installed programs find the project's libraries under any prefix.
zorix_relative_path(ZORIX_BIN_TO_LIB ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_LIBDIR})
set(ZORIX_PROGRAMS zorix zorix-cli zorix-thumbnailer)
foreach(program IN LISTS ZORIX_PROGRAMS)
  if(TARGET ${program})
    set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/${ZORIX_BIN_TO_LIB}")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

foreach(library quenda palvo tessil)
  if(TARGET ${library})
    # The library with its SONAME link and the unversioned link for building against it.
    install(TARGETS ${library} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  endif()
endforeach()

# Qt looks for image-format plugins in its own plugin folder; under another prefix the
# same relative layout is used, so QT_PLUGIN_PATH=PREFIX/<that folder> finds it.
if(TARGET qzorixrle)
  if(NOT ZORIX_QT_PLUGIN_DIR)
    if(QT6_INSTALL_PLUGINS)
      set(ZORIX_QT_PLUGIN_DIR ${QT6_INSTALL_PLUGINS})
    else()
      set(ZORIX_QT_PLUGIN_DIR ${CMAKE_INSTALL_LIBDIR}/qt6/plugins)
    endif()
  endif()
  set(ZORIX_QT_PLUGIN_DIR ${ZORIX_QT_PLUGIN_DIR} CACHE STRING
      "Qt plugin folder, relative to the install prefix")
  zorix_relative_path(plugin_to_lib ${ZORIX_QT_PLUGIN_DIR}/imageformats ${CMAKE_INSTALL_LIBDIR})
  set_target_properties(qzorixrle PROPERTIES INSTALL_RPATH "$ORIGIN/${plugin_to_lib}")
  install(TARGETS qzorixrle LIBRARY DESTINATION ${ZORIX_QT_PLUGIN_DIR}/imageformats)
endif()

# The engine's public headers: what a client of ZorixImgEngine includes, laid out as
# in the source tree so that their own includes resolve from include/quenda.
set(ZORIX_PUBLIC_HEADERS
    engine/ZorixImgEngine.h engine/ZorixImgEngineEvents.h engine/RLEDecoder.h
    engine/RLEEncoder.h imaging/c32bppDIB.h imaging/ImageTypes.h imaging/Surface.h
    imaging/PngProperties.h imaging/LoadFailure.h engine/PaletteLimits.h)
foreach(header IN LISTS ZORIX_PUBLIC_HEADERS)
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quenda/${folder})
endforeach()

# pkg-config and CMake package files, relative to their own location.
set(ZORIX_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
zorix_relative_path(ZORIX_PC_TO_PREFIX ${ZORIX_PKGCONFIG_DIR} .)
configure_file(cmake/quenda.pc.in ${CMAKE_BINARY_DIR}/install/quenda.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/install/quenda.pc DESTINATION ${ZORIX_PKGCONFIG_DIR})

set(ZORIX_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Quenda)
zorix_relative_path(ZORIX_CMAKE_TO_PREFIX ${ZORIX_CMAKE_PACKAGE_DIR} .)
configure_file(cmake/QuendaConfig.cmake.in ${CMAKE_BINARY_DIR}/install/QuendaConfig.cmake @ONLY)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/install/QuendaConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/install/QuendaConfig.cmake
              ${CMAKE_BINARY_DIR}/install/QuendaConfigVersion.cmake
        DESTINATION ${ZORIX_CMAKE_PACKAGE_DIR})

if(Qt6_FOUND)
  add_subdirectory(tests/desktop)
endif()
