# Helpers shared by the subsystem folders.
find_package(GTest)

# Where `cmake --install` and the Debian package put the game, as Debian
# places games: the binary in games/, its data in share/games/zephrine/.
# The installed binary finds its data relative to its own folder, so the
# whole prefix can move.
set(ZEPHRINE_INSTALL_BINDIR games)
set(ZEPHRINE_INSTALL_DATADIR share/games/zephrine)
file(RELATIVE_PATH ZEPHRINE_INSTALLED_DATA /${ZEPHRINE_INSTALL_BINDIR} /${ZEPHRINE_INSTALL_DATADIR}/data)

# The stb decoders (Debian's headers, outside code) copy zero bytes from a
# null buffer and turn out-of-range floats into ints before they range-check
# the result and refuse the file. Both are harmless on this platform, so the
# sanitized builds skip those two checks in the decoders' own translation
# units; everything else stays checked there, and everything stays checked in
# ours.
set(ZEPHRINE_STB_SANITIZE_OPTIONS "")
if(ZEPHRINE_SANITIZE OR ZEPHRINE_FUZZ)
  set(ZEPHRINE_STB_SANITIZE_OPTIONS -fno-sanitize=float-cast-overflow,nonnull-attribute)
endif()

# zephrine_test(<name> [WINDOW] SOURCES <src...> LIBS <lib...> [LABELS <label...>])
# One GoogleTest executable, one ctest entry. Tests run from the build's
# game folder so relative data paths resolve as they do for the player.
# WINDOW tests open windows on the display: ctest runs one at a time, so
# none takes another's keyboard focus. Not built in the fuzz build.
function(zephrine_test name)
  cmake_parse_arguments(T "WINDOW" "" "SOURCES;LIBS;LABELS" ${ARGN})
  if(ZEPHRINE_FUZZ)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${ZEPHRINE_GAME_DIR})
  # Passes only when GoogleTest reached its summary with no failure and no
  # sanitizer report: the game's quit ends the process with status 0, which
  # must not pass for a program whose later tests never ran.
  set_tests_properties(${name} PROPERTIES
    PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] [0-9]+ tests?\\."
    FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]|ERROR: AddressSanitizer|runtime error:")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(T_WINDOW)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK window)
  endif()
endfunction()

# zephrine_fuzz(<name> SOURCES <src...> LIBS <lib...>)
# A libFuzzer target, built only in the fuzz build, where ctest runs it for
# ZEPHRINE_FUZZ_SECONDS seconds from its corpus folder (seeded by the
# caller), and again as <name>_long for ZEPHRINE_FUZZ_RUNS inputs, which
# only the long run starts (label "long").
function(zephrine_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(NOT ZEPHRINE_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  set(options -rss_limit_mb=2048 -timeout=10 -print_final_stats=1)
  add_test(NAME ${name} COMMAND ${name} -max_total_time=${ZEPHRINE_FUZZ_SECONDS} ${options} ${corpus})
  add_test(NAME ${name}_long COMMAND ${name} -runs=${ZEPHRINE_FUZZ_RUNS} ${options} ${corpus})
  set_tests_properties(${name} PROPERTIES LABELS fuzz)
  set_tests_properties(${name}_long PROPERTIES LABELS "fuzz;long" TIMEOUT 14400)
endfunction()
