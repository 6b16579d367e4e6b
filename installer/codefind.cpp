// tovi-codefind: writes the pages of the code reference "codefind.chm" from the companion's
// dictionary: for each GB 2312 character, in the order of that code page, its keypad code and
// the dictionary's description (its five-stroke letters and pinyin readings), one page per zone
// of 94 characters, with the project and contents files that chmcmd compiles.
#include "platform/gbk_codec.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <string_view>

namespace {

struct Record {
    std::string key;
    std::string description;
};

// The zone and place of a GB 2312 character in its CP936 bytes; zones 16 to 87 hold the
// characters.
bool isGb2312Character(std::string_view bytes) {
    if (bytes.size() != 2)
        return false;
    const auto lead = static_cast<unsigned char>(bytes[0]);
    const auto trail = static_cast<unsigned char>(bytes[1]);
    return lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE;
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

// CP936 text as UTF-8, escaped for HTML.
std::string html(tovi::platform::GbkCodec& codec, std::string_view gbk) {
    std::array<char16_t, 1024> units{};
    const auto count = codec.decode(gbk.substr(0, 1000), units);
    std::string out;
    if (!count)
        return out;
    for (std::size_t i = 0; i < *count; ++i) {
        const char32_t unit = units[i];
        switch (unit) {
        case u'<':
            out += "&lt;";
            continue;
        case u'>':
            out += "&gt;";
            continue;
        case u'&':
            out += "&amp;";
            continue;
        default:
            break;
        }
        if (unit < 0x80) {
            out += static_cast<char>(unit);
        } else if (unit < 0x800) {
            out += static_cast<char>(0xC0 | (unit >> 6));
            out += static_cast<char>(0x80 | (unit & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (unit >> 12));
            out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (unit & 0x3F));
        }
    }
    return out;
}

constexpr std::string_view kHead = R"(<!DOCTYPE html>
<html lang="zh-CN"><head><meta charset="utf-8"><title>)";

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tovi-codefind DICT.TXT OUTDIR\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    // By CP936 bytes, which sort as GB 2312 does; the first record of a character wins, as in
    // the companion's lookup.
    std::map<std::string, Record> characters;
    std::string line;
    while (std::getline(in, line)) {
        const auto first = line.find(' ');
        if (first == std::string::npos)
            continue;
        const auto second = line.find(' ', first + 1);
        const std::string word = trimmed(std::string_view(line).substr(0, first));
        if (!isGb2312Character(word) || second == std::string::npos)
            continue;
        characters.try_emplace(word, Record{trimmed(line.substr(first + 1, second - first - 1)),
                                            trimmed(line.substr(second + 1))});
    }

    const std::filesystem::path out(argv[2]);
    std::filesystem::create_directories(out);
    tovi::platform::GbkCodec codec;
    std::map<int, std::ofstream> pages;
    for (const auto& [word, record] : characters) {
        const int zone = static_cast<unsigned char>(word[0]) - 0xA0;
        auto [page, opened] = pages.try_emplace(zone);
        if (opened) {
            page->second.open(out / ("zone" + std::to_string(zone) + ".html"), std::ios::binary);
            page->second << kHead << zone << " 区</title></head><body>\n<h1>" << zone
                         << " 区</h1>\n<table border=\"1\" cellpadding=\"3\">\n"
                         << "<tr><th>字</th><th>编码</th><th>五笔字母与拼音</th></tr>\n";
        }
        page->second << "<tr><td>" << html(codec, word) << "</td><td>" << html(codec, record.key)
                     << "</td><td>" << html(codec, record.description) << "</td></tr>\n";
    }
    std::ofstream index(out / "index.html", std::ios::binary);
    index << kHead << "编码速查字典</title></head><body>\n<h1>编码速查字典</h1>\n"
          << "<p>每个 GB 2312 汉字的小键盘编码、五笔字母和拼音，按区排列。</p>\n<ul>\n";
    std::ofstream contents(out / "codefind.hhc", std::ios::binary);
    contents << "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                "charset=utf-8\"></head><body><ul>\n";
    std::ofstream project(out / "codefind.hhp", std::ios::binary);
    project << "[OPTIONS]\nCompatibility=1.1 or later\nCompiled file=codefind.chm\n"
               "Contents file=codefind.hhc\nDefault topic=index.html\n"
               "Display compile progress=No\nLanguage=0x804 Chinese (PRC)\n"
               "Title=编码速查字典\n\n[FILES]\nindex.html\n";
    for (auto& [zone, page] : pages) {
        page << "</table>\n</body></html>\n";
        const std::string name = "zone" + std::to_string(zone) + ".html";
        index << "<li><a href=\"" << name << "\">" << zone << " 区</a></li>\n";
        contents << "<li><object type=\"text/sitemap\"><param name=\"Name\" value=\"" << zone
                 << " 区\"><param name=\"Local\" value=\"" << name << "\"></object>\n";
        project << name << "\n";
    }
    index << "</ul>\n</body></html>\n";
    contents << "</ul></body></html>\n";
    std::cout << characters.size() << " characters on " << pages.size() << " pages\n";
    return index && contents && project ? 0 : 1;
}
