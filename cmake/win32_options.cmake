# Cross build of the real program for Windows 2000 and later.
add_compile_definitions(_WIN32_WINNT=0x0500 WINVER=0x0500)
# Each function and datum in a section of its own, so that the linker drops what nothing
# uses; the programs carry no symbols.
add_compile_options(-ffunction-sections -fdata-sections)
add_link_options(-Wl,--gc-sections -s)
