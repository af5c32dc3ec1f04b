# Each folder's sources are globbed so that new files join their target without
# touching a shared list.
function(zorix_glob_sources out_var)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS
         ${PROJECT_SOURCE_DIR}/${dir}/*.cpp ${PROJECT_SOURCE_DIR}/${dir}/*.h)
    list(APPEND files ${found})
  endforeach()
  set(${out_var} ${files} PARENT_SCOPE)
endfunction()
