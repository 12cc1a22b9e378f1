# Run by cpack (CPACK_PROJECT_CONFIG_FILE): sets Depends from the libraries the programs link and
# Recommends from those only the backend modules link, both as dpkg-shlibdeps words them. Needs
# TALVEX_DEB_PROGRAMS, TALVEX_DEB_MODULES (lists of binaries) and TALVEX_DEB_WORK (a scratch
# folder).
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
find_program(TALVEX_SHLIBDEPS dpkg-shlibdeps)
if(NOT TALVEX_SHLIBDEPS)
    message(FATAL_ERROR "dpkg-shlibdeps is needed to work out the package's dependencies")
endif()
# dpkg-shlibdeps wants a debian/control beside it, even an empty one.
file(REMOVE_RECURSE ${TALVEX_DEB_WORK})
file(MAKE_DIRECTORY ${TALVEX_DEB_WORK}/debian)
file(WRITE ${TALVEX_DEB_WORK}/debian/control "")
set(arguments --ignore-missing-info -O)
foreach(file ${TALVEX_DEB_PROGRAMS})
    list(APPEND arguments -e${file})
endforeach()
if(TALVEX_DEB_MODULES)
    list(APPEND arguments -dRecommends)
    foreach(file ${TALVEX_DEB_MODULES})
        list(APPEND arguments -e${file})
    endforeach()
endif()
execute_process(COMMAND ${TALVEX_SHLIBDEPS} ${arguments}
    WORKING_DIRECTORY ${TALVEX_DEB_WORK}
    OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "dpkg-shlibdeps failed: ${errors}")
endif()
file(REMOVE_RECURSE ${TALVEX_DEB_WORK})
foreach(field Depends Recommends)
    string(TOUPPER ${field} name)
    if(output MATCHES "shlibs:${field}=([^\n]*)")
        set(CPACK_DEBIAN_PACKAGE_${name} "${CMAKE_MATCH_1}")
    endif()
endforeach()
