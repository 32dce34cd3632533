# Native build: decision code against the fakes, under GoogleTest with sanitizers.
# KESTRUN_SANITIZE picks them: "address" (address and undefined behaviour, the default),
# "thread" (ThreadSanitizer, for the tests that share state with a worker thread), "fuzzer"
# (clang only: address and undefined behaviour with libFuzzer's coverage, for fuzz/) or "none"
# (plain optimised code, for the benchmarks in bench/).
set(KESTRUN_SANITIZE "address" CACHE STRING
    "Sanitizers of the native build: address, thread, fuzzer or none")
if(KESTRUN_SANITIZE STREQUAL "none")
    return()
elseif(KESTRUN_SANITIZE STREQUAL "thread")
    set(KESTRUN_SANITIZE_FLAGS -fsanitize=thread)
elseif(KESTRUN_SANITIZE STREQUAL "fuzzer")
    # Every library gets the coverage; only the fuzz targets link libFuzzer's main.
    add_compile_options(-fsanitize=fuzzer-no-link)
    set(KESTRUN_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined)
else()
    set(KESTRUN_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined)
endif()
add_compile_options(${KESTRUN_SANITIZE_FLAGS} -fno-omit-frame-pointer)
add_link_options(${KESTRUN_SANITIZE_FLAGS})
