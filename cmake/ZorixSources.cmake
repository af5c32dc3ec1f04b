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

# Adds the sources of the calling folder (its *.cpp and *.h) to a target defined
# elsewhere: how the engine's layers make up the one library.
function(zorix_add_folder_sources target)
  file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  target_sources(${target} PRIVATE ${found})
endfunction()
