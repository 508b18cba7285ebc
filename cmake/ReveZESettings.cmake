# One INTERFACE target carries every shared build setting; each target links it.
add_library(reveze_settings INTERFACE)
target_compile_features(reveze_settings INTERFACE cxx_std_23)
target_compile_options(reveze_settings INTERFACE
  -Wall -Wextra -Wpedantic -Wold-style-cast -Wshadow=local
  $<$<BOOL:${REVEZE_WERROR}>:-Werror>)
target_compile_definitions(reveze_settings INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_FOREACH
  QT_NO_KEYWORDS
  REVEZE_VERSION="${PROJECT_VERSION}")
if(REVEZE_SANITIZE)
  target_compile_options(reveze_settings INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(reveze_settings INTERFACE -fsanitize=address,undefined)
endif()
