# Compile options shared by every target of the project: warnings, exact
# floating-point arithmetic, includes from the repository root and the
# stand-in SDK headers.
add_library(tolvane_options INTERFACE)
target_compile_options(tolvane_options INTERFACE -Wall -Wextra -ffp-contract=off)
target_include_directories(tolvane_options INTERFACE
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
  $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/platform/sdk>)

if(TOLVANE_SANITIZE)
  set(sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(tolvane_options INTERFACE ${sanitize_flags})
  target_link_options(tolvane_options INTERFACE ${sanitize_flags})
endif()

if(TOLVANE_FUZZ)
  target_compile_options(tolvane_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

if(TOLVANE_TSAN)
  set(tsan_flags -fsanitize=thread -fno-omit-frame-pointer)
  target_compile_options(tolvane_options INTERFACE ${tsan_flags})
  target_link_options(tolvane_options INTERFACE ${tsan_flags})
endif()

# Where the component bundles are laid out.
set(TOLVANE_COMPONENTS_DIR ${PROJECT_BINARY_DIR}/Components CACHE INTERNAL "")

# Where the LV2 bundles are laid out (a folder to put on LV2_PATH).
set(TOLVANE_LV2_DIR ${PROJECT_BINARY_DIR}/lv2 CACHE INTERNAL "")
