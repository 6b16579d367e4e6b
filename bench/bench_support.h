// What the benchmarks of the whole module share: a host that does nothing, and a folder holding
// the real tables that the build generated.
#pragma once

#include "engine/ime_host.h"
#include "platform/install_folder.h"

#include <filesystem>
#include <initializer_list>
#include <memory>

namespace tovi::bench {

class QuietHost : public ImeHost {
public:
    void startComposition(ContextHandle) override {}
    void updateComposition(ContextHandle) override {}
    void endComposition(ContextHandle) override {}
    void commitText(ContextHandle, std::u16string_view) override {}
    void invalidateWindows() override {}
    void invalidateStatusWindow() override {}
    void invalidateCandidateWindow() override {}
    void showInfoMessage(std::u16string_view, unsigned) override {}
    void beep() override {}
    bool isKeyDown(unsigned) override { return false; }
    void openUrl(std::u16string_view) override {}
    void startProgram(std::u16string_view) override {}
    void sendBackspace() override {}
    std::shared_ptr<CodeTableReporter> codeTableReporter() override { return reporter; }

    struct Silent : CodeTableReporter {
        void messageBox(std::u16string_view, std::u16string_view, Style) override {}
    };
    std::shared_ptr<Silent> reporter = std::make_shared<Silent>();
};

// A temporary installation folder with copies of the named files of build/dist (without a
// config.ini, so the settings are the defaults); removed at the end.
class DistFolder {
public:
    DistFolder(const char* name, std::initializer_list<const char*> files)
        : path_(std::filesystem::temp_directory_path() / name) {
        const std::filesystem::path dist = TOVI_DIST_DIR;
        std::filesystem::create_directories(path_);
        for (const char* file : files)
            std::filesystem::copy_file(dist / file, path_ / file,
                                       std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(path_ / "config.ini");
    }
    ~DistFolder() { std::filesystem::remove_all(path_); }
    DistFolder(const DistFolder&) = delete;
    DistFolder& operator=(const DistFolder&) = delete;

    platform::InstallFolder installFolder() const {
        std::u16string path;
        for (const char c : path_.string())
            path += static_cast<char16_t>(c);
        return platform::InstallFolder(path, path);
    }

private:
    std::filesystem::path path_;
};

} // namespace tovi::bench
