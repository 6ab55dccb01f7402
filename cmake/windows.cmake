# The windowed program on Windows: a Win32 window with a WGL context, outline glyphs from the
# system's fonts (wglUseFontOutlinesA), and the same OpenGL 1.x drawing as on other systems.
# No SDL, FreeType or fontconfig.
file(GLOB FMSGUI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/wgl/*.cpp)
add_library(fms_gui STATIC ${FMSGUI_SOURCES} ${CMAKE_SOURCE_DIR}/src/platform/gl/GlRenderer.cpp)
target_link_libraries(fms_gui PUBLIC fms_platform glu32 opengl32 gdi32 user32)

# The program: the shell's entry point for Windows with the Win32 backends. It keeps its
# console: the diagnostics are console lines.
add_executable(fms ${CMAKE_SOURCE_DIR}/src/shell/win32/main.cpp)
target_link_libraries(fms PRIVATE fms_shell fms_gui)
set_target_properties(fms PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FMS_RUN_DIR})

# The bezel picture is drawn by fms-bezel, which needs FreeType: a Windows build takes the one
# a native build drew (FMS_BEZEL_PICTURE), and the folder to zip gets it with the database.
set(FMS_BEZEL_PICTURE "" CACHE FILEPATH "textures/CDU_Tex.tga drawn by a native build's fms-bezel")
if(FMS_BEZEL_PICTURE)
  add_custom_command(
    OUTPUT ${FMS_RUN_DIR}/textures/CDU_Tex.tga
    COMMAND ${CMAKE_COMMAND} -E copy ${FMS_BEZEL_PICTURE} ${FMS_RUN_DIR}/textures/CDU_Tex.tga
    DEPENDS ${FMS_BEZEL_PICTURE}
    COMMENT "Copying the bezel picture into ${FMS_RUN_DIR}/textures")
  add_custom_target(bezel-picture ALL DEPENDS ${FMS_RUN_DIR}/textures/CDU_Tex.tga)
endif()

# The link's round trip against fms-sim.exe, timed (run it under Wine or on Windows).
add_executable(bench-win32-batch ${CMAKE_SOURCE_DIR}/bench/win32/sim_batch.cpp)
target_link_libraries(bench-win32-batch PRIVATE fms_simlink)
set_target_properties(bench-win32-batch PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FMS_RUN_DIR} EXCLUDE_FROM_ALL ON)
