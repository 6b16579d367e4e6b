// The main job's self-check: lists the built modules and shows the settings file and the
// character conversions at work, failing loudly when a result is wrong.
#include "platform/char_conversions.h"
#include "platform/install_folder.h"
#include "platform/utf8_path.h"
#include "tables/ime_settings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;
using namespace tovi;

namespace {

int failures = 0;

void check(bool ok, const std::string& what) {
    std::cout << (ok ? "  ok    " : "  FAIL  ") << what << '\n';
    if (!ok)
        ++failures;
}

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string visible(const std::string& bytes) {
    std::string out;
    for (const char c : bytes)
        out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return out;
}

void listBuilt(int argc, char** argv) {
    std::cout << "Built:\n";
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        const auto size = fs::file_size(argv[i], ec);
        check(!ec,
              std::string(argv[i]) + (ec ? " (missing)" : " (" + std::to_string(size) + " bytes)"));
    }
}

void settingsCheck() {
    std::cout << "Settings (config.ini):\n";
    std::string pattern = (fs::temp_directory_path() / "tovi-selfcheck-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        check(false, "temporary folder");
        return;
    }
    const fs::path folder = pattern;
    // Settings are saved into the user's folder, never into the installation folder.
    const fs::path userFolder = folder / "user";
    const auto wide = [](const fs::path& path) {
        std::u16string text;
        for (const char c : path.string())
            text += static_cast<char16_t>(static_cast<unsigned char>(c));
        return text;
    };
    const platform::InstallFolder installFolder(wide(folder), wide(userFolder));

    ImeSettings settings(installFolder);
    check(settings.flags == 161 && settings.schemeIndex() == 1,
          "no file: defaults, scheme " + std::to_string(settings.schemeIndex()));
    check(settings.saveSettings() && !fs::exists(folder / "config.ini"),
          "save, into the user's folder");
    const std::string saved = readFile(userFolder / "config.ini");
    check(saved == "IME_SETTINGS 161\r\nIME_SKIN 0\r\nIME_STATUS_X 10\r\nIME_STATUS_Y 718\r\n",
          "file reads \"" + visible(saved) + "\"");
    std::ofstream(userFolder / "config.ini", std::ios::binary) << "IME_SKIN 3\nIME_STATUS_X -5\n";
    ImeSettings edited(installFolder);
    check(edited.skin == 3 && edited.statusX == -5 && edited.flags == 161,
          "\"IME_SKIN 3 IME_STATUS_X -5\" loads skin 3, x -5, other keys default");
    edited.setScheme(Scheme::Pinyin);
    check(edited.flags == 193, "scheme 2 sets flags to " + std::to_string(edited.flags));

    fs::remove_all(folder);
}

void conversionCheck() {
    std::cout << "Conversions:\n";
    QuoteState quotes;
    std::u16string wide;
    for (const char c : std::string("Hello, 2026! 'quoted' \"twice\""))
        if (const char16_t w = toFullWidth(static_cast<char16_t>(c), quotes))
            wide += w;
    check(wide == u"Ｈｅｌｌｏ，\u3000２０２６！\u3000‘ｑｕｏｔｅｄ’\u3000“ｔｗｉｃｅ”",
          "full width: " + platform::toUtf8(wide));

    const std::u16string simplified = u"汉字输入法，简体转繁体";
    std::u16string traditional(simplified.size() + 1, u'\0');
    traditional.resize(toTraditional(simplified, traditional));
    check(traditional == u"漢字輸入法，簡體轉繁體",
          "traditional: " + platform::toUtf8(simplified) + " -> " + platform::toUtf8(traditional));
}

} // namespace

int main(int argc, char** argv) {
    listBuilt(argc, argv);
    settingsCheck();
    conversionCheck();
    std::cout << (failures ? "self-check FAILED\n" : "self-check passed\n");
    return failures ? EXIT_FAILURE : EXIT_SUCCESS;
}
