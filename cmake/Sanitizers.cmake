# AddressSanitizer + UndefinedBehaviorSanitizer (LeakSanitizer comes with ASan on Linux).
# Any report stops the program so that CTest sees a failure.
option(LIFT_SANITIZE_THREAD "Build with ThreadSanitizer (not together with LIFT_SANITIZE)" OFF)
if(LIFT_SANITIZE AND LIFT_SANITIZE_THREAD)
  message(FATAL_ERROR "LIFT_SANITIZE and LIFT_SANITIZE_THREAD cannot be combined")
endif()
if(LIFT_SANITIZE)
  set(_lift_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${_lift_san})
  add_link_options(${_lift_san})
endif()
if(LIFT_SANITIZE_THREAD)
  # Races between the serial monitor threads and the loop thread; see scripts/test.
  set(_lift_tsan -fsanitize=thread -fno-omit-frame-pointer)
  add_compile_options(${_lift_tsan})
  add_link_options(${_lift_tsan})
endif()
if(LIFT_FUZZ)
  # The core is instrumented for coverage; only the fuzz targets link libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
