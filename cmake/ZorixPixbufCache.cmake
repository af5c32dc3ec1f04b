# Install-time step: makes the installed gdk-pixbuf loader known.
# - Installed straight into gdk-pixbuf's own folder (no DESTDIR): the system's loader
#   cache is rebuilt with gdk-pixbuf-query-loaders --update-cache.
# - Staged into gdk-pixbuf's own folder (DESTDIR, as packages are built): that cache
#   belongs to gdk-pixbuf and is rebuilt by the system when the package is installed;
#   nothing is written, and a note says what to run otherwise.
# - Any other prefix: a complete cache (the system's loaders and this one, with the
#   loader's final path, not the staging path) is written at the cache file's place
#   below the prefix, for use as GDK_PIXBUF_MODULE_FILE.
set(final_dir "${CMAKE_INSTALL_PREFIX}/${ZORIX_PIXBUF_LOADER_DIR}")
set(staged_dir "$ENV{DESTDIR}${final_dir}")
set(loader_name libpixbufloader-zorix-rle.so)
if(NOT ZORIX_PIXBUF_QUERY_LOADERS OR NOT EXISTS "${ZORIX_PIXBUF_QUERY_LOADERS}")
  message(STATUS "gdk-pixbuf-query-loaders not found: run it after installing to make "
                 "the device bitmap loader known to gdk-pixbuf")
  return()
endif()

if(final_dir STREQUAL ZORIX_PIXBUF_SYSTEM_DIR)
  if("$ENV{DESTDIR}" STREQUAL "")
    execute_process(COMMAND "${ZORIX_PIXBUF_QUERY_LOADERS}" --update-cache
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(WARNING "gdk-pixbuf-query-loaders --update-cache failed (${status})")
    endif()
  else()
    message(STATUS "Packagers: the gdk-pixbuf loader cache is not written below DESTDIR; "
                   "run ${ZORIX_PIXBUF_QUERY_LOADERS} --update-cache after installing "
                   "(the gdk-pixbuf package's trigger does this on Debian)")
  endif()
  return()
endif()

file(GLOB system_loaders "${ZORIX_PIXBUF_SYSTEM_DIR}/*.so")
execute_process(COMMAND "${ZORIX_PIXBUF_QUERY_LOADERS}" ${system_loaders}
                        "${staged_dir}/${loader_name}"
                OUTPUT_VARIABLE cache RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT cache MATCHES "${loader_name}")
  message(FATAL_ERROR "gdk-pixbuf-query-loaders could not load ${staged_dir}/${loader_name}")
endif()
string(REPLACE "\"${staged_dir}/${loader_name}\"" "\"${final_dir}/${loader_name}\"" cache
       "${cache}")
set(cache_path "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${ZORIX_PIXBUF_CACHE_FILE}")
message(STATUS "Installing: ${cache_path}")
file(WRITE "${cache_path}" "${cache}")
