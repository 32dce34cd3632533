# Native build: decision code against the fakes, under GoogleTest with sanitizers.
# KESTRUN_SANITIZE picks them: "address" (address and undefined behaviour, the default) or
# "thread" (ThreadSanitizer, for the tests that share state with a worker thread).
set(KESTRUN_SANITIZE "address" CACHE STRING "Sanitizers of the native build: address or thread")
if(KESTRUN_SANITIZE STREQUAL "thread")
    set(KESTRUN_SANITIZE_FLAGS -fsanitize=thread)
else()
    set(KESTRUN_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined)
endif()
add_compile_options(${KESTRUN_SANITIZE_FLAGS} -fno-omit-frame-pointer)
add_link_options(${KESTRUN_SANITIZE_FLAGS})
