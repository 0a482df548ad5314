# quorbic_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>] [TIMEOUT <s>])
# Builds one QtTest executable and registers it with CTest. Widget tests run
# offscreen; every test gets its own scratch working directory so that tests
# which touch "qa.mdb" in the working directory can run in parallel.
function(quorbic_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
  set(workdir ${CMAKE_CURRENT_BINARY_DIR}/${name}.work)
  file(MAKE_DIRECTORY ${workdir})
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${workdir})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    TIMEOUT ${T_TIMEOUT}
    LABELS "${T_LABELS}")
endfunction()
