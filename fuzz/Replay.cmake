# Every fuzz target's entry point as a test: fuzz/<name>.cpp becomes replay_<name>,
# run over fuzz/corpus/<name>/ (what the fuzzers kept) and tests/data/fuzz-findings/
# <name>/ (inputs that once failed, kept as regression tests).
function(zorix_add_replay name)
  add_executable(replay_${name} ${ARGN} ${PROJECT_SOURCE_DIR}/fuzz/replay/main.cpp)
  target_include_directories(replay_${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(replay_${name} PRIVATE quenda)
  add_test(NAME fuzz.replay.${name}
           COMMAND replay_${name} ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name}
                   ${PROJECT_SOURCE_DIR}/tests/data/fuzz-findings/${name})
endfunction()

file(GLOB replay_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*.cpp)
foreach(src IN LISTS replay_sources)
  get_filename_component(name ${src} NAME_WE)
  zorix_add_replay(${name} ${src})
endforeach()

if(NOT Qt6_FOUND)
  return()
endif()
# The version server's reply.
file(GLOB replay_qt_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/qt/*.cpp)
foreach(src IN LISTS replay_qt_sources)
  get_filename_component(name ${src} NAME_WE)
  zorix_add_replay(${name} ${src} ${PROJECT_SOURCE_DIR}/app/UpdateReply.cpp
                   ${PROJECT_SOURCE_DIR}/app/CompareVersions.cpp
                   ${PROJECT_SOURCE_DIR}/app/UpdateCheck.cpp)
  target_link_libraries(replay_${name} PRIVATE Qt6::Core)
endforeach()

# The Qt image plugin as QImageReader reaches it, linked in as a static plugin.
set(plugin_dir ${PROJECT_SOURCE_DIR}/imageformats)
zorix_add_replay(qt_plugin ${PROJECT_SOURCE_DIR}/fuzz/qtgui/qt_plugin.cpp
                 ${plugin_dir}/RleBitmapPlugin.cpp ${plugin_dir}/RleBitmapPlugin.h
                 ${plugin_dir}/RleBitmapHandler.cpp ${plugin_dir}/RleBitmapPixels.cpp)
set_target_properties(replay_qt_plugin PROPERTIES AUTOMOC ON)
target_compile_definitions(replay_qt_plugin PRIVATE QT_STATICPLUGIN)
target_link_libraries(replay_qt_plugin PRIVATE Qt6::Gui)
set_tests_properties(fuzz.replay.qt_plugin PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

# The gdk-pixbuf loader through its incremental interface.
pkg_check_modules(REPLAY_GDK_PIXBUF QUIET IMPORTED_TARGET gdk-pixbuf-2.0)
if(REPLAY_GDK_PIXBUF_FOUND)
  zorix_add_replay(pixbuf_loader ${PROJECT_SOURCE_DIR}/fuzz/pixbuf/pixbuf_loader.cpp
                   ${PROJECT_SOURCE_DIR}/pixbuf/RlePixbufModule.cpp
                   ${PROJECT_SOURCE_DIR}/pixbuf/RleStreamDecoder.cpp)
  target_link_libraries(replay_pixbuf_loader PRIVATE PkgConfig::REPLAY_GDK_PIXBUF)
endif()
