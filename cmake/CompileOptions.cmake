# One interface target carries the options every target of ours is built with.
add_library(kr_options INTERFACE)
target_compile_options(kr_options INTERFACE
  -Wall -Wextra -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
  -Wimplicit-fallthrough)
target_compile_definitions(kr_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_URL_CAST_FROM_STRING
  _GLIBCXX_ASSERTIONS)
if(KR_WERROR)
  target_compile_options(kr_options INTERFACE -Werror)
endif()

if(KR_SANITIZE)
  set(KR_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  target_compile_options(kr_options INTERFACE ${KR_SANITIZER_FLAGS})
  target_link_options(kr_options INTERFACE ${KR_SANITIZER_FLAGS})
endif()

if(KR_FUZZ)
  # libFuzzer only sees the coverage of code built with fuzzer-no-link.
  target_compile_options(kr_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
  target_link_options(kr_options INTERFACE -fsanitize=address,undefined)
endif()
