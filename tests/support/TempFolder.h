#pragma once

// A folder of a test's own under the system's temporary folder, on Linux and under Wine alike.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace velk::test {

inline std::filesystem::path fromUtf8(const std::string& utf8) {
    return std::u8string(utf8.begin(), utf8.end());
}

inline std::string utf8Of(const std::filesystem::path& path) {
    const std::u8string s = path.u8string();
    return {s.begin(), s.end()};
}

/// A fresh folder, removed with everything in it. `utf8Name` ends its name, for tests that
/// need a folder's name to hold blanks or letters beyond ASCII.
class TempFolder {
public:
    explicit TempFolder(const std::string& utf8Name = "") {
        static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
        std::random_device seed;
        std::mt19937 pick(seed());
        // create_directory answers false when the folder was there already: another test's.
        do {
            std::string name = "velk-";
            for (int i = 0; i < 6; ++i)
                name += letters[pick() % (sizeof letters - 1)];
            if (!utf8Name.empty())
                name += "-" + utf8Name;
            m_path = std::filesystem::temp_directory_path() / fromUtf8(name);
        } while (!std::filesystem::create_directory(m_path));
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return m_path; }
    [[nodiscard]] std::string str() const { return m_path.string(); }
    [[nodiscard]] std::string utf8() const { return utf8Of(m_path); }

    /// Writes `bytes` to the file `name` (UTF-8) in the folder.
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(m_path / fromUtf8(name), std::ios::binary);
        out << bytes;
        ASSERT_TRUE(out.good()) << name;
    }
    [[nodiscard]] std::string read(const std::string& name) const {
        std::ifstream in(m_path / fromUtf8(name), std::ios::binary);
        std::ostringstream all;
        all << in.rdbuf();
        return all.str();
    }
    [[nodiscard]] bool has(const std::string& name) const {
        return std::filesystem::exists(m_path / fromUtf8(name));
    }

private:
    std::filesystem::path m_path;
};

} // namespace velk::test
