# The QMZ4 program: the Win32 window code, the start-up code and the resources.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# Icons and bitmaps are drawn by a script into the build tree.
set(QMZ_ART_DIR ${CMAKE_CURRENT_BINARY_DIR}/art)
set(QMZ_ART_SCRIPT ${CMAKE_SOURCE_DIR}/resources/art/make_art.py)
add_custom_command(
    OUTPUT ${QMZ_ART_DIR}/art.rc
    COMMAND Python3::Interpreter ${QMZ_ART_SCRIPT} ${QMZ_ART_DIR}
    DEPENDS ${QMZ_ART_SCRIPT}
    COMMENT "Drawing the program's icons and bitmaps")
add_custom_target(qmz_art DEPENDS ${QMZ_ART_DIR}/art.rc)

file(GLOB QMZ_UI_WIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win/*.cpp)
file(GLOB QMZ_APP_WIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/win/*.cpp)
set(QMZ_RC ${CMAKE_SOURCE_DIR}/resources/qmz4.rc)
set_source_files_properties(${QMZ_RC} PROPERTIES OBJECT_DEPENDS
    "${QMZ_ART_DIR}/art.rc;${CMAKE_SOURCE_DIR}/resources/strings.inc;${CMAKE_SOURCE_DIR}/resources/qmz4.manifest;${CMAKE_CURRENT_SOURCE_DIR}/resource_ids.h")

add_executable(QMZ4 WIN32 ${QMZ_UI_WIN_SOURCES} ${QMZ_APP_WIN_SOURCES} ${QMZ_RC})
add_dependencies(QMZ4 qmz_art)
qmz_strict(QMZ4)
target_include_directories(QMZ4 PRIVATE ${QMZ_ART_DIR} ${CMAKE_SOURCE_DIR}/resources)
target_link_options(QMZ4 PRIVATE -municode)
target_link_libraries(QMZ4 PRIVATE qmz_ui_model qmz_app_core qmz_engine qmz_ops qmz_win32
    comctl32 ole32 oleaut32 uuid shell32 shlwapi gdi32 user32 advapi32)
