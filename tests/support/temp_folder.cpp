#include "temp_folder.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace tovi::test {

TempFolder::TempFolder() : TempFolder(std::filesystem::temp_directory_path()) {}

std::filesystem::path TempFolder::inMemory() {
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error)
               ? std::filesystem::path("/dev/shm")
               : std::filesystem::temp_directory_path();
}

TempFolder::TempFolder(const std::filesystem::path& parent) {
    std::string pattern = (parent / "tovi-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

std::u16string TempFolder::installFolder() const {
    std::u16string folder;
    for (const char8_t c : path_.u8string())
        folder += static_cast<char16_t>(c); // temp paths are ASCII
    return folder;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(file(name), std::ios::binary);
    out << bytes;
}

std::string TempFolder::read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace tovi::test
