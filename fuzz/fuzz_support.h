// What the fuzz targets share. A broken property aborts with its message, which libFuzzer
// reports like a crash and keeps the input of.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kestrun::fuzz {

// Shows control bytes, and bytes past ASCII, as \xNN.
inline std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '\\') {
            const char* const hex = "0123456789abcdef";
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

[[noreturn]] inline void Broken(const std::string& property) {
    std::fprintf(stderr, "property broken: %s\n", Escaped(property).c_str());
    std::abort();
}

inline void Require(bool holds, const std::string& property) {
    if (!holds) {
        Broken(property);
    }
}

// One of names, or now and then a text of the fuzzer's own, so that inputs meet the keys
// the program uses as well as any other.
template <std::size_t N>
std::string PickName(FuzzedDataProvider& in, const char* const (&names)[N]) {
    const std::size_t pick = in.ConsumeIntegralInRange<std::size_t>(0, N);
    return pick < N ? std::string(names[pick]) : in.ConsumeRandomLengthString(24);
}

}  // namespace kestrun::fuzz
