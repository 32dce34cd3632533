# Cross build of the real program for Windows 2000 and later.
add_compile_definitions(_WIN32_WINNT=0x0500 WINVER=0x0500)
