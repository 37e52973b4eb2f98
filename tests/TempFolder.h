// A fresh folder under the system's temporary folder for tests that work on
// real files; it is removed with everything in it at the end.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace testfiles {

namespace fs = std::filesystem;

inline void writeBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    EXPECT_TRUE(out.good()) << "cannot write " << path.string();
}

inline std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The 16-bit text that names path, as a host passes it on a pin.
inline std::u16string nameOf(const fs::path& path) {
    return path.u16string();
}

class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        std::mt19937_64 random(uint64_t(seed()) << 32 ^ seed());
        const fs::path base = fs::temp_directory_path();
        for (int attempt = 0; attempt < 100 && root.empty(); ++attempt) {
            const fs::path candidate = base / ("tavri-test-" + std::to_string(random()));
            std::error_code error;
            if (fs::create_directory(candidate, error))
                root = candidate;
        }
        if (root.empty())
            ADD_FAILURE() << "cannot make a temporary folder";
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code error;
        // Give back any permission a test took away, so that everything goes.
        for (auto it = fs::recursive_directory_iterator(root, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        fs::remove_all(root, error);
    }

    const fs::path& path() const { return root; }

    fs::path file(const fs::path& relative, std::string_view bytes = {}) const {
        const fs::path made = root / relative;
        writeBytes(made, bytes);
        return made;
    }
    fs::path folder(const fs::path& relative) const {
        const fs::path made = root / relative;
        std::error_code error;
        fs::create_directories(made, error);
        EXPECT_FALSE(error) << "cannot make " << made.string();
        return made;
    }

private:
    fs::path root;
};

// False where taking a permission away does not stop this process (it runs as
// root, or the system has no such permissions): tests that need a permission
// failure skip themselves then.
inline bool permissionFailuresHappen() {
    TempFolder probe;
    const fs::path file = probe.file("probe", "x");
    std::error_code error;
    fs::permissions(file, fs::perms::none, error);
    if (error)
        return false;
    std::ifstream in(file, std::ios::binary);
    return !in.is_open();
}

} // namespace testfiles
