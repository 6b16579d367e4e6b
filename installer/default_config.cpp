// tovi-default-config: writes the config.ini that a fresh installation starts with, as the
// module itself saves its default settings.
#include "platform/install_folder.h"
#include "tables/ime_settings.h"

#include <filesystem>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tovi-default-config FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::u16string path;
    for (const char8_t unit : folder.u8string()) {
        if (unit >= 0x80) {
            std::cerr << "the build folder's path must be ASCII: " << argv[1] << "\n";
            return 2;
        }
        path += static_cast<char16_t>(unit);
    }
    // The folder stands for the user's folder too: the module saves only there.
    tovi::ImeSettings settings{tovi::platform::InstallFolder(path, path)};
    if (!settings.saveSettings()) {
        std::cerr << "cannot write config.ini in " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
