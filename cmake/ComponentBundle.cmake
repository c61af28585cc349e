# Component bundles and the programs that load them.
#
# tolvane_add_component_bundle(<target> <bundle name> <info.plist template> [RESOURCES <files...>])
#   Lays out ${TOLVANE_COMPONENTS_DIR}/<bundle name>.component after every build of <target> (a
#   SHARED or MODULE library):
#     Contents/Info.plist               <info.plist template> configured with @ONLY; besides the
#                                       caller's variables it sees @BUNDLE_NAME@ and
#                                       @BUNDLE_EXECUTABLE@ (both the bundle name)
#     Contents/MacOS/<bundle name>      the built module
#     Contents/Resources/<file>         each RESOURCES file
#   The bundle folder is stored in the target's property TOLVANE_BUNDLE_DIR.
#   The module must not link platform_au, platform_cf or platform_window: it uses the host
#   program's copies, so that both sides share one component registry, one bundle list, one set
#   of listeners, one run loop and one class registry.
#
# tolvane_component_host(<target>)
#   Makes an executable able to load component modules: it links the whole of platform_au,
#   platform_cf and platform_window and exports their symbols to the modules it loads.
include_guard(GLOBAL)

function(tolvane_add_component_bundle target name plist_template)
  cmake_parse_arguments(B "" "" "RESOURCES" ${ARGN})
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "SHARED_LIBRARY" AND NOT type STREQUAL "MODULE_LIBRARY")
    message(FATAL_ERROR "tolvane_add_component_bundle: ${target} is not a shared library")
  endif()
  if(TOLVANE_COMPONENTS_DIR)
    set(components_dir ${TOLVANE_COMPONENTS_DIR})
  else()
    set(components_dir ${PROJECT_BINARY_DIR}/Components)
  endif()
  set(bundle ${components_dir}/${name}.component)
  set(BUNDLE_NAME ${name})
  set(BUNDLE_EXECUTABLE ${name})
  configure_file(${plist_template} ${bundle}/Contents/Info.plist @ONLY)

  set(copy_resources)
  foreach(resource ${B_RESOURCES})
    get_filename_component(resource ${resource} ABSOLUTE)
    list(APPEND copy_resources COMMAND ${CMAKE_COMMAND} -E copy_if_different ${resource}
         ${bundle}/Contents/Resources/)
  endforeach()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${bundle}/Contents/MacOS ${bundle}/Contents/Resources
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}>
            ${bundle}/Contents/MacOS/${name}
    ${copy_resources}
    VERBATIM)
  set_target_properties(${target} PROPERTIES TOLVANE_BUNDLE_DIR ${bundle})
endfunction()

function(tolvane_component_host target)
  target_link_libraries(${target} PRIVATE platform_au platform_cf platform_window)
  target_link_options(${target} PRIVATE
    "LINKER:--whole-archive" $<TARGET_FILE:platform_au> $<TARGET_FILE:platform_cf>
    $<TARGET_FILE:platform_window> "LINKER:--no-whole-archive")
  set_target_properties(${target} PROPERTIES ENABLE_EXPORTS ON)
endfunction()
