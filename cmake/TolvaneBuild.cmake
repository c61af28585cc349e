# How the build is put together: every folder is listed by name, and every
# dependency that is missing stops the configure with what to install.
include_guard(GLOBAL)

# tolvane_add_subdirectories(<folder>... [ELSEWHERE <folder>...])
#   Adds the listed folders in order. A listed folder without a CMakeLists.txt,
#   or a folder with one that is neither listed nor named after ELSEWHERE (added
#   by other means), stops the configure: a subsystem and its tests never drop
#   out of the build unnoticed.
macro(tolvane_add_subdirectories)
  cmake_parse_arguments(_tolvane "" "" "ELSEWHERE" ${ARGN})
  foreach(_tolvane_dir ${_tolvane_UNPARSED_ARGUMENTS})
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${_tolvane_dir}/CMakeLists.txt)
      message(FATAL_ERROR
        "${CMAKE_CURRENT_SOURCE_DIR}/${_tolvane_dir} is listed for the build but has no CMakeLists.txt")
    endif()
    add_subdirectory(${_tolvane_dir})
  endforeach()
  file(GLOB _tolvane_found RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  foreach(_tolvane_file ${_tolvane_found})
    get_filename_component(_tolvane_dir ${_tolvane_file} DIRECTORY)
    if(NOT _tolvane_dir IN_LIST _tolvane_UNPARSED_ARGUMENTS AND
       NOT _tolvane_dir IN_LIST _tolvane_ELSEWHERE)
      message(FATAL_ERROR
        "${CMAKE_CURRENT_SOURCE_DIR}/${_tolvane_dir} has a CMakeLists.txt but is not listed in "
        "${CMAKE_CURRENT_LIST_FILE}: add it to the tolvane_add_subdirectories call there")
    endif()
  endforeach()
endmacro()

# tolvane_require_package(<find_package name> <Debian package> [find_package args...])
macro(tolvane_require_package name debian)
  find_package(${name} ${ARGN} QUIET)
  if(NOT ${name}_FOUND)
    message(FATAL_ERROR
      "${name} not found: install the Debian package ${debian} (bash tools/setup.sh installs "
      "everything the build needs)")
  endif()
endmacro()

# tolvane_require_pkg_config(<prefix> <pkg-config module> <Debian package>)
#   Defines the imported target PkgConfig::<prefix>.
macro(tolvane_require_pkg_config prefix module debian)
  tolvane_require_package(PkgConfig pkg-config)
  if(NOT TARGET PkgConfig::${prefix})
    pkg_check_modules(${prefix} QUIET IMPORTED_TARGET ${module})
    if(NOT ${prefix}_FOUND)
      message(FATAL_ERROR
        "${module} not found: install the Debian package ${debian} (bash tools/setup.sh installs "
        "everything the build needs)")
    endif()
  endif()
endmacro()
