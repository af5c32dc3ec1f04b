# Every fuzz target's entry point as a test: fuzz/<name>.cpp becomes replay_<name>,
# run over fuzz/corpus/<name>/ (what the fuzzers kept) and tests/data/fuzz-findings/
# <name>/ (inputs that once failed, kept as regression tests).
file(GLOB replay_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*.cpp)
set(replay_qt_sources)
if(Qt6_FOUND)
  file(GLOB replay_qt_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/qt/*.cpp)
endif()
foreach(src IN LISTS replay_sources replay_qt_sources)
  get_filename_component(name ${src} NAME_WE)
  add_executable(replay_${name} ${src} ${PROJECT_SOURCE_DIR}/fuzz/replay/main.cpp)
  target_include_directories(replay_${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(replay_${name} PRIVATE quenda)
  add_test(NAME fuzz.replay.${name}
           COMMAND replay_${name} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name}
                   ${PROJECT_SOURCE_DIR}/tests/data/fuzz-findings/${name})
endforeach()
foreach(src IN LISTS replay_qt_sources)
  get_filename_component(name ${src} NAME_WE)
  target_sources(replay_${name} PRIVATE ${PROJECT_SOURCE_DIR}/app/UpdateReply.cpp
                                        ${PROJECT_SOURCE_DIR}/app/CompareVersions.cpp
                                        ${PROJECT_SOURCE_DIR}/app/UpdateCheck.cpp)
  target_link_libraries(replay_${name} PRIVATE Qt6::Core)
endforeach()
