# Warnings are errors everywhere; sanitizers come from DW_SANITIZE (set by the presets).
add_compile_options(
  # Message formats are often chosen from tables, hence no -Wformat-nonliteral.
  -Wall -Wextra -Wpedantic -Wshadow -Wformat=2 -Wno-format-nonliteral -Wcast-align
  $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>
  -Werror)

if(DW_SANITIZE)
  add_compile_options(-fsanitize=${DW_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${DW_SANITIZE})
endif()

# GTimeVal is part of the platform event interface; its deprecation in newer
# GLib releases must not break the build.
add_compile_definitions(GLIB_VERSION_MIN_REQUIRED=GLIB_VERSION_2_56)
