// What the fuzz targets share: the libFuzzer entry point and a check that stops the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace zelk::fuzz {

// A failed property is a crash to the fuzzer, which then keeps the input that caused it.
[[noreturn]] inline void fail(std::string_view what, std::string_view input) {
    std::fprintf(stderr, "property failed: %.*s\ninput (%zu bytes): \"%.*s\"\n", static_cast<int>(what.size()),
                 what.data(), input.size(), static_cast<int>(input.size() < 200 ? input.size() : 200), input.data());
    std::abort();
}

inline std::string_view bytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A line as the console hands it to a field reader: no line feed, at most the kept bytes.
inline std::string_view asLine(std::string_view input) {
    input = input.substr(0, input.find('\n'));
    return input.substr(0, 60);
}

}  // namespace zelk::fuzz
