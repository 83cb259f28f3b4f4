# Shared build rules: warnings, sanitizers, the shared-library and test helpers, the install package.
include_guard(GLOBAL)
include(CMakePackageConfigHelpers)

add_compile_options(-Wall -Wextra -Wpedantic -Wformat=2 -Wno-missing-field-initializers)
if(DEFINED ENV{CI} AND NOT "$ENV{CI}" STREQUAL "" AND NOT "$ENV{CI}" STREQUAL "false")
  add_compile_options(-Werror)
endif()

if(VELT_SANITIZE)
  add_compile_options(-fsanitize=${VELT_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${VELT_SANITIZE})
endif()

if(VELT_FUZZ)
  # Coverage for every library the fuzz targets reach; the targets themselves add the fuzzer main.
  # Every finding ends the run, as in the sanitizer builds: a fuzz target that printed undefined
  # behaviour and went on would pass its CTest run.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

set_property(GLOBAL PROPERTY VELT_PUBLIC_HEADERS "")
set_property(GLOBAL PROPERTY VELT_INSTALLED_TARGETS "")
set_property(GLOBAL PROPERTY VELT_INSTALLED_FILES "")   # further files the install must hold

# velt_install_program(<target>): installs a program into bin/ (and the install test checks it).
function(velt_install_program target)
  install(TARGETS ${target} RUNTIME DESTINATION bin)
  set_property(GLOBAL APPEND PROPERTY VELT_INSTALLED_FILES bin/${target})
endfunction()

# velt_shared_library(<name> HEADERS <public headers> SOURCES <files>
#                     [INTERNAL <static libs folded in>] [LINK <public deps>] [PC_REQUIRES <pkg names>]
#                     [DESCRIPTION <text>])
# Builds lib<name>.so with hidden symbols and the define <NAME>_BUILD for its export macro,
# installs it with its flat headers, an imported target Velt::<name> and <name>.pc.
function(velt_shared_library name)
  cmake_parse_arguments(A "" "DESCRIPTION" "HEADERS;SOURCES;INTERNAL;LINK;PC_REQUIRES" ${ARGN})
  add_library(${name} SHARED ${A_SOURCES})
  add_library(Velt::${name} ALIAS ${name})
  string(TOUPPER "${name}" up)
  target_compile_definitions(${name} PRIVATE ${up}_BUILD)
  foreach(h IN LISTS A_HEADERS)
    get_filename_component(abs "${h}" ABSOLUTE)
    get_filename_component(dir "${abs}" DIRECTORY)
    target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${dir}>)
    set_property(GLOBAL APPEND PROPERTY VELT_PUBLIC_HEADERS "${abs}")
  endforeach()
  target_include_directories(${name} PUBLIC $<INSTALL_INTERFACE:include>)
  foreach(lib IN LISTS A_INTERNAL)
    target_link_libraries(${name} PRIVATE $<BUILD_INTERFACE:${lib}>)
  endforeach()
  if(A_LINK)
    target_link_libraries(${name} PUBLIC ${A_LINK})
  endif()
  if(NOT VELT_SANITIZE AND NOT VELT_FUZZ)
    # Sanitizer runtimes stay unresolved in clang-built shared libraries, so only plain builds check.
    target_link_options(${name} PRIVATE -Wl,--no-undefined)
  endif()
  set_target_properties(${name} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
                        PUBLIC_HEADER "${A_HEADERS}")
  set_property(GLOBAL APPEND PROPERTY VELT_INSTALLED_TARGETS ${name})
  install(TARGETS ${name} EXPORT VeltSDKTargets
          LIBRARY DESTINATION lib
          PUBLIC_HEADER DESTINATION include)

  set_property(GLOBAL APPEND PROPERTY VELT_INSTALLED_FILES lib/lib${name}.so lib/pkgconfig/${name}.pc)
  foreach(h IN LISTS A_HEADERS)
    get_filename_component(fname "${h}" NAME)
    set_property(GLOBAL APPEND PROPERTY VELT_INSTALLED_FILES include/${fname})
  endforeach()

  set(VELT_PC_NAME ${name})
  set(VELT_PC_DESCRIPTION "${A_DESCRIPTION}")
  list(JOIN A_PC_REQUIRES " " VELT_PC_REQUIRES)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/velt-library.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${name}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${name}.pc DESTINATION lib/pkgconfig)
endfunction()

# velt_test(<name> SOURCES <files> [LIBS <libs>] [LABELS <labels>] [TIMEOUT <s>]
#           [INCLUDES <folders>] [DEFINITIONS <NAME=value>...] [DEPENDS <targets>])
# One GoogleTest program registered as one CTest test; label "unit" unless told otherwise. Without
# VELT_BUILD_TESTS nothing is defined, so every setting of a test goes through these arguments.
function(velt_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS;LABELS;INCLUDES;DEFINITIONS;DEPENDS" ${ARGN})
  if(NOT VELT_BUILD_TESTS)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gmock GTest::gtest_main)
  if(A_INCLUDES)
    target_include_directories(${name} PRIVATE ${A_INCLUDES})
  endif()
  if(A_DEFINITIONS)
    target_compile_definitions(${name} PRIVATE ${A_DEFINITIONS})
  endif()
  if(A_DEPENDS)
    add_dependencies(${name} ${A_DEPENDS})
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT A_LABELS)
    set(A_LABELS unit)
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${A_LABELS}" TIMEOUT ${A_TIMEOUT})
endfunction()

# Installs the CMake package and builds a check that every public header compiles as C99.
function(velt_finish_package)
  get_property(targets GLOBAL PROPERTY VELT_INSTALLED_TARGETS)
  if(NOT targets)
    return()
  endif()
  install(EXPORT VeltSDKTargets NAMESPACE Velt:: DESTINATION lib/cmake/VeltSDK)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VeltSDKConfig.cmake.in
    ${PROJECT_BINARY_DIR}/VeltSDKConfig.cmake INSTALL_DESTINATION lib/cmake/VeltSDK)
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/VeltSDKConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/VeltSDKConfig.cmake ${PROJECT_BINARY_DIR}/VeltSDKConfigVersion.cmake
          DESTINATION lib/cmake/VeltSDK)

  # What the install test expects in the prefix, one path a line.
  get_property(files GLOBAL PROPERTY VELT_INSTALLED_FILES)
  list(APPEND files lib/cmake/VeltSDK/VeltSDKConfig.cmake lib/cmake/VeltSDK/VeltSDKTargets.cmake)
  list(JOIN files "\n" manifest)
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/install_manifest_expected.txt CONTENT "${manifest}\n")

  get_property(headers GLOBAL PROPERTY VELT_PUBLIC_HEADERS)
  if(headers)
    set(csrc "/* generated: every public header must compile as C99 */\n")
    set(dirs "")
    foreach(h IN LISTS headers)
      get_filename_component(fname "${h}" NAME)
      get_filename_component(dir "${h}" DIRECTORY)
      string(APPEND csrc "#include \"${fname}\"\n")
      list(APPEND dirs "${dir}")
    endforeach()
    string(APPEND csrc "int velt_public_headers_compile_as_c(void) { return 0; }\n")
    file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/public_headers_c99.c CONTENT "${csrc}")
    list(REMOVE_DUPLICATES dirs)
    add_library(velt_public_headers_c99 OBJECT ${PROJECT_BINARY_DIR}/public_headers_c99.c)
    target_include_directories(velt_public_headers_c99 PRIVATE ${dirs})
    target_compile_options(velt_public_headers_c99 PRIVATE -std=c99 -pedantic-errors)
  endif()
endfunction()
