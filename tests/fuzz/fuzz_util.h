#pragma once

// Shared by the harnesses: a failed property aborts, so libFuzzer keeps the input as a finding.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond);                 \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace fuzz {

inline std::vector<uint8_t> bytes(const uint8_t *data, size_t size)
{
    return std::vector<uint8_t>(data, data + size);
}

// Readers that take a path get the input through one scratch file per process, named with the
// given extension (the compiler and the test kind look at it).
inline std::string scratchFile(const uint8_t *data, size_t size, const char *name)
{
    static const std::string folder = [] {
        const char *tmp = std::getenv("TMPDIR");
        std::string dir =
            std::string(tmp && *tmp ? tmp : "/tmp") + "/vellora-fuzz-" + std::to_string(getpid());
        std::filesystem::create_directories(dir);
        static const std::string removeAtExit = dir;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(removeAtExit, ignored);
        });
        return dir;
    }();
    const std::string path = folder + "/" + name;
    FILE *f = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(f != nullptr);
    if (size)
        FUZZ_CHECK(std::fwrite(data, 1, size, f) == size);
    std::fclose(f);
    return path;
}

} // namespace fuzz
