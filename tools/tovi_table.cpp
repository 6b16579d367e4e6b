// tovi-table: builds the code tables and data files of the installation from open dictionaries,
// and lists or checks code-table files. Run without arguments for the usage.
#include "data_files.h"
#include "dict_source.h"
#include "screen_dict.h"
#include "table_builder.h"
#include "table_check.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace tovi;
using namespace tovi::tools;

namespace {

constexpr const char* kUsage =
    R"(usage:
  tovi-table build --keypad|--pinyin SOURCE.dict.yaml OUT.mb
      Builds a code table from a Rime dictionary (five-stroke 86 codes as keypad digits, or
      pinyin). Entries are ordered as the candidates are shown: a code's exact matches before
      its continuations, frequent before rare.
  tovi-table dump [--keypad|--pinyin] FILE.mb
      Lists a code table as text (UTF-8): "code<TAB>text" per entry, bucket by bucket.
  tovi-table verify [--keypad|--pinyin] FILE.mb
      Checks header, lengths, GBK text, bucket membership and order; exit status 1 on a fault.
  tovi-table data --wubi WUBI86.dict.yaml --pinyin PINYIN.dict.yaml --keys KEYPAD_KEYS.txt
                  --out DIR
      Writes toviwb.mb, tovipy.mb, codePyMain.pmt, vemoraPY.pmt, vemoraSP.pmt, deduSPNum.pi
      and the companion's dict.txt into DIR, checks both tables and reports what was built.
The layout of dump and verify follows the file name (toviwb.mb, tovipy.mb) unless given.
)";

struct Failure {
    std::string message;
};

std::string readFile(const fs::path& path, std::size_t limit) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec)
        throw Failure{path.string() + ": cannot read (" + ec.message() + ")"};
    if (size > limit)
        throw Failure{path.string() + ": larger than " + std::to_string(limit >> 20) + " MiB"};
    std::ifstream in(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw Failure{path.string() + ": cannot read"};
    return bytes;
}

// Writes through a temporary file so that a failed run leaves no half-written file.
void writeFile(const fs::path& path, const std::string& bytes) {
    const fs::path temporary = path.string() + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out || !out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) ||
            !out.flush())
            throw Failure{path.string() + ": cannot write"};
    }
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (ec) {
        fs::remove(temporary, ec);
        throw Failure{path.string() + ": cannot write (" + ec.message() + ")"};
    }
}

DictSource readDict(const fs::path& path) {
    DictSource source = readRimeDict(readFile(path, kMaxDictBytes));
    if (!source.ok())
        throw Failure{path.string() + ": " + source.error};
    for (const std::string& note : source.notes)
        std::cerr << path.string() << ": " << note << " (left out)\n";
    return source;
}

std::string describeCounts(const DictReadCounts& read, const BuildCounts& built) {
    std::string s =
        std::to_string(built.kept) + " entries kept of " + std::to_string(built.read) + " read";
    const std::pair<const char*, std::size_t> skipped[] = {
        {"keys outside the layout", built.outsideKeys},
        {"not in GBK", built.notGbk},
        {"longer than 127 bytes", built.tooLong},
        {"duplicates", built.duplicates},
        {"table full", built.tableFull},
        {"source lines without code", read.noCode},
        {"source lines with bad text", read.badText},
        {"source lines with bad weight", read.badWeight},
    };
    std::string list;
    for (const auto& [what, n] : skipped)
        if (n > 0)
            list += (list.empty() ? "" : ", ") + std::to_string(n) + " " + what;
    if (!list.empty())
        s += "; skipped: " + list;
    return s;
}

void requireClean(const std::string& bytes, CodeTableLayout layout, const std::string& name) {
    const TableReport report = verifyCodeTable(bytes, layout);
    if (report.ok())
        return;
    for (const std::string& d : report.details)
        std::cerr << name << ": " << d << '\n';
    throw Failure{name + ": the built table fails its own check"};
}

struct Options {
    std::optional<Scheme> scheme;
    std::vector<std::string> paths;
    std::string wubi, pinyin, keys, out;
};

// In "data", --pinyin names the pinyin source; elsewhere it chooses the scheme.
Options parseOptions(std::span<char* const> args, bool sources) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string a = args[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= args.size())
                throw Failure{a + " needs a value"};
            return args[++i];
        };
        if ((a == "--keypad" || (a == "--pinyin" && !sources)) && o.scheme)
            throw Failure{"give --keypad or --pinyin once"};
        if (a == "--keypad")
            o.scheme = Scheme::Keypad;
        else if (a == "--pinyin" && !sources)
            o.scheme = Scheme::Pinyin;
        else if (a == "--wubi")
            o.wubi = value();
        else if (a == "--pinyin")
            o.pinyin = value();
        else if (a == "--keys")
            o.keys = value();
        else if (a == "--out")
            o.out = value();
        else if (a.starts_with("--"))
            throw Failure{"unknown option " + a};
        else
            o.paths.push_back(a);
    }
    return o;
}

CodeTableLayout layoutFor(const Options& o, const std::string& path) {
    if (o.scheme)
        return layoutOf(*o.scheme);
    if (const auto layout = layoutFromFileName(path))
        return *layout;
    throw Failure{path + ": give --keypad or --pinyin (the name says neither)"};
}

int build(const Options& o) {
    if (!o.scheme || o.paths.size() != 2)
        throw Failure{"build needs --keypad or --pinyin, a source and an output file"};
    const auto started = std::chrono::steady_clock::now();
    const DictSource source = readDict(o.paths[0]);
    const BuiltTable built = buildCodeTable(source.entries, *o.scheme);
    const std::string bytes = writeCodeTable(built.table);
    requireClean(bytes, built.table.layout(), o.paths[1]);
    writeFile(o.paths[1], bytes);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    std::cout << o.paths[1] << ": " << describeCounts(source.counts, built.counts) << "; "
              << bytes.size() << " bytes; " << ms.count() << " ms\n";
    return 0;
}

int dump(const Options& o) {
    if (o.paths.size() != 1)
        throw Failure{"dump needs one file"};
    const std::string bytes = readFile(o.paths[0], kMaxCodeTableFileBytes);
    std::string error;
    const std::string text = dumpCodeTable(bytes, layoutFor(o, o.paths[0]), error);
    if (!error.empty())
        throw Failure{o.paths[0] + ": " + error};
    std::cout << text;
    return 0;
}

int verify(const Options& o) {
    if (o.paths.size() != 1)
        throw Failure{"verify needs one file"};
    const std::string bytes = readFile(o.paths[0], kMaxCodeTableFileBytes);
    const TableReport report = verifyCodeTable(bytes, layoutFor(o, o.paths[0]));
    for (const std::string& d : report.details)
        std::cout << o.paths[0] << ": " << d << '\n';
    if (report.ok()) {
        std::cout << o.paths[0] << ": " << report.entries << " entries, no faults\n";
        return 0;
    }
    for (std::size_t k = 0; k < kTableProblemKinds; ++k)
        if (report.counts[k] > 0)
            std::cout << o.paths[0] << ": " << report.counts[k] << " x "
                      << describe(static_cast<TableProblem>(k)) << '\n';
    return 1;
}

void writeText(const fs::path& path, const std::vector<std::u16string>& lines,
               const std::string& fault) {
    if (!fault.empty())
        throw Failure{path.string() + ": " + fault};
    const std::string bytes = utf16File(lines);
    writeFile(path, bytes);
    std::cout << path.filename().string() << ": " << lines.size() << " lines, " << bytes.size()
              << " bytes\n";
}

int data(const Options& o) {
    if (o.wubi.empty() || o.pinyin.empty() || o.keys.empty() || o.out.empty())
        throw Failure{"data needs --wubi, --pinyin, --keys and --out"};
    const auto started = std::chrono::steady_clock::now();
    const fs::path out = o.out;
    std::error_code ec;
    fs::create_directories(out, ec);
    if (ec)
        throw Failure{o.out + ": cannot create (" + ec.message() + ")"};

    const KeypadKeys keys = readKeypadKeys(readFile(o.keys, 1u << 20));
    if (!keys.ok())
        throw Failure{o.keys + ": " + keys.error};

    const std::pair<std::string, Scheme> tables[] = {{o.wubi, Scheme::Keypad},
                                                     {o.pinyin, Scheme::Pinyin}};
    std::vector<DictEntry> wubiEntries;
    std::vector<DictEntry> pinyinEntries;
    for (const auto& [sourcePath, scheme] : tables) {
        const auto tableStarted = std::chrono::steady_clock::now();
        DictSource source = readDict(sourcePath);
        const BuiltTable built = buildCodeTable(source.entries, scheme);
        const std::string name = scheme == Scheme::Keypad ? "toviwb.mb" : "tovipy.mb";
        const std::string bytes = writeCodeTable(built.table);
        requireClean(bytes, built.table.layout(), name);
        writeFile(out / name, bytes);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - tableStarted);
        std::cout << name << ": " << describeCounts(source.counts, built.counts) << "; "
                  << bytes.size() << " bytes; " << ms.count() << " ms\n";
        if (scheme == Scheme::Pinyin)
            pinyinEntries = std::move(source.entries);
        else
            wubiEntries = std::move(source.entries);
    }

    const auto hints = codeHintLines(keys);
    writeText(out / "codePyMain.pmt", hints, checkHintLines(hints));
    const auto keypadPrompts = keypadPromptLines(keys);
    writeText(out / "vemoraPY.pmt", keypadPrompts, checkPromptLines(keypadPrompts));
    const auto pinyinPrompts = pinyinPromptLines();
    writeText(out / "vemoraSP.pmt", pinyinPrompts, checkPromptLines(pinyinPrompts));
    std::size_t dropped = 0;
    const auto keyLines = pinyinKeyLines(pinyinEntries, dropped);
    writeText(out / "deduSPNum.pi", keyLines, checkHintLines(keyLines));
    if (dropped > 0)
        std::cout << "deduSPNum.pi: " << dropped
                  << " syllables of the source with no known initial and final left out\n";
    ScreenDictCounts dictCounts;
    const std::string dict =
        screenDictFile(screenDictLines(wubiEntries, pinyinEntries, dictCounts));
    writeFile(out / "dict.txt", dict);
    std::cout << "dict.txt: " << dictCounts.characters << " characters, " << dictCounts.words
              << " words, " << dict.size() << " bytes; " << dictCounts.notGbk
              << " outside GBK left out, " << dictCounts.noPinyin << " without pinyin\n";
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    std::cout << "data files written to " << out.string() << " in " << ms.count() << " ms\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string command = argv[1];
    try {
        const Options options =
            parseOptions(std::span<char* const>(argv + 2, argv + argc), command == "data");
        if (command == "build")
            return build(options);
        if (command == "dump")
            return dump(options);
        if (command == "verify")
            return verify(options);
        if (command == "data")
            return data(options);
        if (command == "help" || command == "--help" || command == "-h") {
            std::cout << kUsage;
            return 0;
        }
        std::cerr << "tovi-table: unknown command \"" << command << "\"\n" << kUsage;
        return 2;
    } catch (const Failure& f) {
        std::cerr << "tovi-table: " << f.message << '\n';
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "tovi-table: " << e.what() << '\n';
        return 1;
    }
}
