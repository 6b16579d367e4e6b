// A fresh folder for one test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace tovi::test {

class TempFolder {
public:
    TempFolder();
    // A folder inside `parent` instead of the system's temporary folder.
    explicit TempFolder(const std::filesystem::path& parent);
    // A parent in memory (/dev/shm) where there is one, else the system's temporary folder: for
    // tests that save many times, since a file flushed to memory costs nothing.
    static std::filesystem::path inMemory();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the module names its installation folder.
    std::u16string installFolder() const;
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

    void write(const std::string& name, const std::string& bytes) const;
    std::string read(const std::string& name) const;

private:
    std::filesystem::path path_;
};

} // namespace tovi::test
