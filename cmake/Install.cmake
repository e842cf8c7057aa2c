# What `cmake --install` puts under the prefix: the vantrel program, liborvanta.so with the
# window toolkit it shares with the Qt module, the module itself, the headers a host includes,
# a CMake package (find_package(Vantrel CONFIG), target Vantrel::orvanta) and orvanta.pc.
#
# Everything finds everything else relative to itself ($ORIGIN, ${pcfiledir}, the package's own
# folder), so an installation works wherever its prefix is, including one moved after install.
include(CMakePackageConfigHelpers)

# The toolkit library is installed beside liborvanta.so, under a name of its own.
set_target_properties(uikit PROPERTIES OUTPUT_NAME orvanta_uikit VERSION ${PROJECT_VERSION}
                                       SOVERSION ${PROJECT_VERSION_MAJOR})
set_target_properties(orvanta uikit PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(vantrel PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
if(TARGET vantrel_qt)
  # Installed in lib/vantrel by its own folder's rules; the libraries are one folder up.
  set_target_properties(vantrel_qt PROPERTIES INSTALL_RPATH "$ORIGIN/..")
endif()

set(_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Vantrel)
install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS orvanta uikit EXPORT VantrelTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# Only what a host needs: the class, the driver choice, the Desktop interface (with the models
# it hands a driver) and the C interface.
set(VANTREL_PUBLIC_HEADERS orvanta/clsOrvanta.h orvanta/Driver.h orvanta/orvanta.h
    orvanta/uikit/controls.h orvanta/uikit/desktop.h orvanta/uikit/form.h)
foreach(header IN LISTS VANTREL_PUBLIC_HEADERS)
  # The toolkit's headers live in uikit/; the rest in include/.
  string(REGEX REPLACE "^orvanta/uikit/" "uikit/" source ${header})
  if(source STREQUAL header)
    set(source include/${header})
  endif()
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${source} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${folder})
endforeach()

install(EXPORT VantrelTargets NAMESPACE Vantrel:: DESTINATION ${_cmake_dir})
configure_package_config_file(cmake/VantrelConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/VantrelConfig.cmake
                              INSTALL_DESTINATION ${_cmake_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/VantrelConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/VantrelConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/VantrelConfigVersion.cmake
        DESTINATION ${_cmake_dir})

# pkg-config: the prefix is worked out from where the .pc file lies.
file(RELATIVE_PATH VANTREL_PC_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
string(REGEX REPLACE "/$" "" VANTREL_PC_TO_PREFIX "${VANTREL_PC_TO_PREFIX}")
configure_file(cmake/orvanta.pc.in ${CMAKE_CURRENT_BINARY_DIR}/orvanta.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/orvanta.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
