// A module built from an installation folder in which one data file is damaged: cut short,
// empty, far too large, random bytes, missing, or a folder in its place. Whatever the file, the
// module neither crashes nor hangs, typing gives the words of the intact installation or nothing,
// and the module never writes over a file it could not read.
//
// The folder holds the real data files that the build generates (dist/ of the build tree).
#include "core/module.h"

#include "engine/scheme_engines.h"
#include "engine/virtual_keys.h"
#include "platform/shared_memory.h"
#include "platform/shared_section.h"
#include "platform/shared_section_name.h"
#include "recording_host.h"
#include "schemes/code_hint_table.h"
#include "shared_names.h"
#include "tables/code_table_file.h"
#include "tables/prompt_table.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace tovi {
namespace {

namespace fs = std::filesystem;

const fs::path kDist = TOVI_DIST_DIR;

constexpr char kConfig[] =
    "IME_SETTINGS 161\r\nIME_SKIN 0\r\nIME_STATUS_X 10\r\nIME_STATUS_Y 718\r\n";

// Every data file the portable module reads. The pictures are read only by the Windows layer.
const std::vector<std::string> kDataFiles = {"toviwb.mb",    "tovipy.mb",    "config.ini",
                                             "vemoraPY.pmt", "vemoraSP.pmt", "codePyMain.pmt",
                                             "deduSPNum.pi"};

enum class Damage {
    CutToOneByte,
    CutInHalf,
    CutByOneByte,
    Empty,
    HugeAfterItsContent, // the content, then a hole up to past the largest table accepted
    HugeRandom,          // random bytes past the largest table accepted
    Random,              // a few KiB of random bytes
    Missing,
    Folder,
};

std::string damageName(Damage damage) {
    switch (damage) {
    case Damage::CutToOneByte:
        return "CutToOneByte";
    case Damage::CutInHalf:
        return "CutInHalf";
    case Damage::CutByOneByte:
        return "CutByOneByte";
    case Damage::Empty:
        return "Empty";
    case Damage::HugeAfterItsContent:
        return "HugeAfterItsContent";
    case Damage::HugeRandom:
        return "HugeRandom";
    case Damage::Random:
        return "Random";
    case Damage::Missing:
        return "Missing";
    case Damage::Folder:
        return "Folder";
    }
    return "?";
}

// Past the largest code table accepted. The text files have no limit of their own and are read
// to their end at about 10 MiB a second, so a few MiB past every line and field bound do for
// them.
std::size_t hugeBytes(const std::string& name) {
    return name.ends_with(".mb") ? kMaxCodeTableFileBytes + 4096 : std::size_t{8} << 20;
}

// Ends the test process when a case runs for minutes, so that a hang fails its case instead of
// holding up the whole run.
class HangGuard {
public:
    HangGuard()
        : thread_([this] {
              std::unique_lock lock(mutex_);
              if (!ended_.wait_for(lock, std::chrono::minutes(2), [this] { return done_; })) {
                  std::fputs("the case hangs\n", stderr);
                  std::_Exit(3);
              }
          }) {}
    ~HangGuard() {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        ended_.notify_all();
        thread_.join();
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread thread_;
};

// Bytes from a splitmix64 sequence: cheap enough for tens of MiB in an unoptimised build.
std::string randomBytes(std::size_t size, std::uint64_t seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; i += 8) {
        std::uint64_t z = (seed += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        std::memcpy(bytes.data() + i, &z, std::min<std::size_t>(8, size - i));
    }
    return bytes;
}

// A folder with every data file as the build made it and the default settings.
void install(const test::TempFolder& folder) {
    for (const std::string& name : kDataFiles)
        if (name != "config.ini")
            fs::copy_file(kDist / name, folder.file(name));
    folder.write("config.ini", kConfig);
}

void damage(const test::TempFolder& folder, const std::string& name, Damage how) {
    const fs::path path = folder.file(name);
    const std::string content = folder.read(name);
    switch (how) {
    case Damage::CutToOneByte:
        fs::resize_file(path, 1);
        break;
    case Damage::CutInHalf:
        fs::resize_file(path, content.size() / 2);
        break;
    case Damage::CutByOneByte:
        fs::resize_file(path, content.size() - 1);
        break;
    case Damage::Empty:
        fs::resize_file(path, 0);
        break;
    case Damage::HugeAfterItsContent:
        fs::resize_file(path, hugeBytes(name));
        break;
    case Damage::HugeRandom:
        folder.write(name, randomBytes(hugeBytes(name), 1));
        break;
    case Damage::Random:
        folder.write(name, randomBytes(4096, 2));
        break;
    case Damage::Missing:
        fs::remove(path);
        break;
    case Damage::Folder:
        fs::remove(path);
        fs::create_directory(path);
        fs::create_directory(path / "inside");
        break;
    }
}

// What a file is on disk: its bytes, a folder, or nothing.
struct OnDisk {
    bool exists = false;
    bool folder = false;
    std::string bytes;
    bool operator==(const OnDisk&) const = default;
};

OnDisk onDisk(const test::TempFolder& folder, const std::string& name) {
    const fs::path path = folder.file(name);
    OnDisk what;
    what.exists = fs::exists(path);
    what.folder = fs::is_directory(path);
    if (what.exists && !what.folder) {
        // In one read: the files may be tens of MiB.
        std::ifstream in(path, std::ios::binary);
        what.bytes.resize(static_cast<std::size_t>(fs::file_size(path)));
        in.read(what.bytes.data(), static_cast<std::streamsize>(what.bytes.size()));
    }
    return what;
}

// What typing gives in one scheme.
struct Typed {
    std::vector<std::u16string> page; // the first page of candidates
    int candidates = 0;
    std::vector<std::u16string> commits;
    std::u16string hint;     // for the code "1"
    std::u16string proposal; // for the word 中国
    bool operator==(const Typed&) const = default;
};

struct Outcome {
    Typed keypad;
    Typed pinyin;
    bool keypadWordAdded = false;
    bool pinyinWordAdded = false;
    std::vector<std::u16string> boxes;
};

class Typist {
public:
    explicit Typist(const test::TempFolder& folder)
        : module_(host_, platform::InstallFolder(folder.installFolder(), folder.installFolder()),
                  1) {}

    Outcome type() {
        Outcome outcome;
        outcome.keypad = typeIn(Scheme::Keypad, u"23212411");
        outcome.keypadWordAdded = module_.wordMaker().add(u"12345", u"测试词");
        outcome.pinyin = typeIn(Scheme::Pinyin, u"zhongguo");
        outcome.pinyinWordAdded = module_.wordMaker().add(u"cesc", u"测试词");
        outcome.boxes = host_.boxes->shown;
        return outcome;
    }

    ImeSettings& settings() { return module_.settings(); }

private:
    void tap(unsigned key, char16_t unit) {
        keys_[key] |= 0x80;
        if (module_.processKey(1, KeyEvent{key, 0, 1, keys_}))
            module_.toAscii(1, KeyEvent{key, unit, 0, keys_});
        keys_[key] &= 0x7F;
        module_.processKey(1, KeyEvent{key, 0, 0xC0000001, keys_});
    }

    Typed typeIn(Scheme scheme, std::u16string_view code) {
        // As the mode menu switches: the new scheme is saved at once.
        module_.settings().setScheme(scheme);
        module_.saveSettingsIfChanged();
        module_.codeTableLoader().waitIdle();
        host_.commits.clear();
        for (const char16_t unit : code) {
            const unsigned key = scheme == Scheme::Keypad
                                     ? vk::Numpad0 + (unit - u'0')
                                     : static_cast<unsigned>(unit - u'a' + 'A');
            tap(key, unit);
        }
        Typed typed;
        ImeEngine* engine = module_.engine();
        if (!engine) {
            ADD_FAILURE() << "no engine";
            return typed;
        }
        typed.candidates = engine->candidates().totalCount();
        for (int i = 0; i < engine->candidates().pageSize(); ++i)
            typed.page.push_back(engine->candidates().itemText(i));
        // The prompt row and the key table are read whatever they hold, within their bounds. No
        // engine reads the prompt table of schemes 0 and 1; it is read here as they would.
        std::array<std::u16string, PromptRow::kFields> row;
        engine->GetPromptRow(row);
        for (const std::u16string& field : row) {
            EXPECT_LE(field.size(), PromptTable::kMaxLine);
        }
        if (scheme == Scheme::Keypad) {
            PromptTable chart(scheme, module_.folder());
            chart.selectRow(code.substr(0, 2));
            chart.copyCurrentRow(row);
            for (const std::u16string& field : row) {
                EXPECT_LE(field.size(), PromptTable::kMaxLine);
            }
        }
        if (auto* pinyin = dynamic_cast<PinyinEngine*>(engine)) {
            for (const auto& [key, value] : pinyin->keyTable().entries()) {
                EXPECT_LE(key.size() + value.size(), 1000u);
            }
        }
        // Keypad 0 or Space confirms; a code with several exact matches takes a second one.
        for (int confirm = 0;
             confirm < 2 && host_.commits.empty() && (confirm == 0 || engine->hasCandidates());
             ++confirm) {
            if (scheme == Scheme::Keypad)
                tap(vk::Numpad0, u'0');
            else
                tap(vk::Space, u' ');
        }
        typed.commits = host_.commits;
        typed.hint = module_.currentCodeHint(u"1");
        EXPECT_LE(typed.hint.size(), LoadedCodeHintTable::kMaxLine);
        typed.proposal = module_.proposeWordCode(u"中国");
        return typed;
    }

    test::RecordingHost host_;
    Module module_;
    std::uint8_t keys_[256] = {};
};

class DamagedInstall : public ::testing::TestWithParam<std::tuple<std::string, Damage>> {
protected:
    void SetUp() override {
        if (!fs::exists(kDist / "toviwb.mb"))
            GTEST_SKIP() << "no data files in " << kDist << " (scripts/setup.sh installs them)";
    }
    void TearDown() override {
        // The module names its pools after the section; they go with it.
        for (const Scheme scheme : {Scheme::Keypad, Scheme::Pinyin}) {
            const auto pools = codeTableNames(scheme, platform::sharedNameSuffix());
            platform::SharedMemory::removeName(pools->codePool);
            platform::SharedMemory::removeName(pools->textPool);
            platform::NamedMutex::removeName(pools->mutex);
        }
    }

    test::SharedNames names;
};

// Only the code "12345" of the keypad table and "cesc" of pinyin take the new word: neither
// holds 测试词 yet.
TEST_P(DamagedInstall, TypesTheRightWordsOrNoneAndLeavesTheFileAsItWas) {
    const auto& [name, how] = GetParam();
    const HangGuard guard;
    // In memory: the word maker's saves flush their files.
    test::TempFolder intact{test::TempFolder::inMemory()};
    install(intact);
    const Outcome expected = Typist(intact).type();
    ASSERT_FALSE(expected.keypad.page.empty());
    ASSERT_FALSE(expected.pinyin.page.empty());
    ASSERT_EQ(expected.keypad.commits.size(), 1u);
    ASSERT_TRUE(expected.keypadWordAdded && expected.pinyinWordAdded);
    ASSERT_TRUE(expected.boxes.empty());

    test::TempFolder folder{test::TempFolder::inMemory()};
    install(folder);
    damage(folder, name, how);
    const OnDisk before = onDisk(folder, name);
    const Outcome got = Typist(folder).type();

    const bool keypadTable = name == "toviwb.mb";
    const bool pinyinTable = name == "tovipy.mb";
    const bool hints = name == "codePyMain.pmt";
    if (keypadTable || pinyinTable) {
        // A damaged table is refused as a whole and said so once; no word comes from it, and
        // the word maker cannot write into it.
        const Typed& refused = keypadTable ? got.keypad : got.pinyin;
        EXPECT_EQ(refused.candidates, 0);
        EXPECT_TRUE(refused.commits.empty());
        EXPECT_EQ(refused.proposal.find_first_not_of(u'0'), std::u16string::npos)
            << "a code from a refused table";
        EXPECT_FALSE(keypadTable ? got.keypadWordAdded : got.pinyinWordAdded);
        ASSERT_FALSE(got.boxes.empty());
        EXPECT_EQ(got.boxes.front(), u"信息: 码表打开失败！");
        EXPECT_EQ(std::count(got.boxes.begin(), got.boxes.end(), got.boxes.front()), 1);
        EXPECT_EQ(keypadTable ? got.pinyin : got.keypad,
                  keypadTable ? expected.pinyin : expected.keypad);
        EXPECT_EQ(keypadTable ? got.pinyinWordAdded : got.keypadWordAdded, true);
    } else {
        // Any other file changes nothing that is typed.
        EXPECT_TRUE(got.boxes.empty());
        EXPECT_EQ(got.keypad.page, expected.keypad.page);
        EXPECT_EQ(got.keypad.candidates, expected.keypad.candidates);
        EXPECT_EQ(got.keypad.commits, expected.keypad.commits);
        EXPECT_EQ(got.keypad.proposal, expected.keypad.proposal);
        EXPECT_EQ(got.pinyin, expected.pinyin);
        EXPECT_TRUE(got.keypadWordAdded && got.pinyinWordAdded);
        // The hint of a damaged hint table is at most what the intact one says.
        if (hints)
            EXPECT_TRUE(expected.keypad.hint.starts_with(got.keypad.hint))
                << "a hint not in the file";
        else
            EXPECT_EQ(got.keypad.hint, expected.keypad.hint);
    }

    if (name == "config.ini") {
        // Typing both schemes switched at least once, which wrote the settings back, unless a
        // folder stands in the way.
        const OnDisk after = onDisk(folder, name);
        if (how == Damage::Folder)
            EXPECT_TRUE(after == before) << "config.ini is no longer a folder";
        else
            EXPECT_TRUE(after.bytes.starts_with("IME_SETTINGS ") && after.bytes.ends_with("\r\n"))
                << after.bytes.substr(0, 80);
    } else {
        // Compared whole but not printed: the file may be tens of MiB.
        EXPECT_TRUE(onDisk(folder, name) == before) << "the module wrote over " << name;
    }
}

std::string caseName(const ::testing::TestParamInfo<DamagedInstall::ParamType>& info) {
    std::string file = std::get<0>(info.param);
    for (char& c : file)
        if (c == '.')
            c = '_';
    return file + "_" + damageName(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(
    EveryDataFile, DamagedInstall,
    ::testing::Combine(::testing::ValuesIn(kDataFiles),
                       ::testing::Values(Damage::CutToOneByte, Damage::CutInHalf,
                                         Damage::CutByOneByte, Damage::Empty,
                                         Damage::HugeAfterItsContent, Damage::HugeRandom,
                                         Damage::Random, Damage::Missing, Damage::Folder)),
    caseName);

} // namespace
} // namespace tovi
