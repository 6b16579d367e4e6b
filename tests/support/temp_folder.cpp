#include "temp_folder.h"

#include "platform/install_folder_override.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace tovi::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tovi-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    const std::u8string u8 = path_.u8string();
    std::u16string folder;
    for (const char8_t c : u8)
        folder += static_cast<char16_t>(c); // temp paths are ASCII
    platform::setInstallFolder(folder);
}

TempFolder::~TempFolder() {
    platform::setInstallFolder(u"");
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
