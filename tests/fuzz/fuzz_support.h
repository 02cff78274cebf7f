// What the fuzz targets share: a scratch file for inputs that the code under test reads from
// disk, and a reader that takes values off the front of an input.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "test_process.h"

namespace fuzz {

// A file in the temporary folder named after its use and this process (the id of the thread
// that made it: fuzzing runs inputs on the main thread), so that parallel fuzzing jobs never
// share one. Removed when the process ends normally.
class ScratchFile {
public:
    ScratchFile(const std::string& use, const std::string& extension)
        : path_((std::filesystem::temp_directory_path() /
                 ("orvanta-" + use + "-" + std::to_string(test_process::currentThreadId()) + extension))
                    .string()) {}
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    const std::string& path() const { return path_; }
    const std::string& write(const uint8_t* data, size_t size) {
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        return path_;
    }

private:
    std::string path_;
};

// Takes values off the front of an input; past its end every byte reads as zero.
struct Input {
    const uint8_t* data;
    const uint8_t* end;

    void takeBytes(void* target, size_t size) {
        const size_t count = std::min(size, static_cast<size_t>(end - data));
        std::memcpy(target, data, count);
        data += count;
    }
    template <typename T>
    T take() {
        T value{};
        takeBytes(&value, sizeof value);
        return value;
    }
};

}  // namespace fuzz
