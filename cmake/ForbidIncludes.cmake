# cmake -DSOURCES=<file listing sources> -DPREFIX=<path prefix> -DTARGET=<name> -P ForbidIncludes.cmake
# Fails listing every #include of a header under PREFIX in the listed sources.
file(STRINGS "${SOURCES}" sources)
set(found "")
foreach(source IN LISTS sources)
  file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]${PREFIX}")
  foreach(line IN LISTS lines)
    string(APPEND found "\n  ${source}: ${line}")
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "${TARGET} must not include headers under ${PREFIX}:${found}")
endif()
