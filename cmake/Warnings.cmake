# Common compile options for every target of the project.
add_library(vintor_options INTERFACE)
target_compile_options(vintor_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
  -Woverloaded-virtual -Wnull-dereference -Wformat=2)
if(VINTOR_WERROR)
  target_compile_options(vintor_options INTERFACE -Werror)
endif()
if(VINTOR_SANITIZE)
  target_compile_options(vintor_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(vintor_options INTERFACE -fsanitize=address,undefined)
endif()
if(VINTOR_TSAN)
  target_compile_options(vintor_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(vintor_options INTERFACE -fsanitize=thread)
endif()

# vintor_add_qtest(NAME SOURCES ... LIBS ... [CLI]): one QtTest executable run headless by
# CTest. CLI: the test runs vintor-cli (tests/support/CliRun.h), whose path it gets in
# VINTOR_CLI_PATH.
function(vintor_add_qtest name)
  cmake_parse_arguments(T "CLI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Test vintor_options)
  if(T_CLI)
    target_compile_definitions(${name} PRIVATE VINTOR_CLI_PATH="$<TARGET_FILE:vintor-cli>")
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    add_dependencies(${name} vintor-cli)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
    TIMEOUT 300)
endfunction()
