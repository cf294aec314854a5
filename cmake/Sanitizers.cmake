# AddressSanitizer + UndefinedBehaviorSanitizer (LeakSanitizer comes with ASan on Linux).
# Any report stops the program so that CTest sees a failure.
if(LIFT_SANITIZE)
  set(_lift_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${_lift_san})
  add_link_options(${_lift_san})
endif()
if(LIFT_FUZZ)
  # The core is instrumented for coverage; only the fuzz targets link libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
