# Every build warns; warnings stop it only with LIFT_WERROR, so a packager's newer compiler
# cannot fail a release on a warning that is new to it.
add_compile_options(-Wall -Wextra -Wpedantic)
if(LIFT_WERROR)
  add_compile_options(-Werror)
endif()
# gcc 12 at -O3 sees overlaps and overflows inside libstdc++'s own string and vector code
# ("x" + std::string, assigning a one-character literal, vector::resize; gcc bug 105329).
# Those two checks say nothing true about our code there, so Release builds skip them.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options($<$<CONFIG:Release>:-Wno-restrict> $<$<CONFIG:Release>:-Wno-stringop-overflow>)
endif()
