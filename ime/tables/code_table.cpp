#include "code_table.h"

#include "platform/file_io.h"
#include "platform/file_replace.h"
#include "platform/gbk_codec.h"
#include "platform/install_folder.h"
#include "tables/code_order.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>

namespace tovi {
namespace {

constexpr std::u16string_view kInfo = u"信息";

std::atomic_ref<std::uint32_t> sharedWord(std::uint32_t& word) {
    return std::atomic_ref<std::uint32_t>(word);
}

// Index of a layout's scheme in CodeTableControlBlock::schemes.
std::size_t schemeSlot(CodeTableLayout layout) {
    return layout == CodeTableLayout::Digits ? 0 : 1;
}

std::uint32_t maskBit(std::uint32_t instanceNumber) {
    return std::uint32_t{1} << (instanceNumber % 32);
}

// A fingerprint of the file the pools were filled from; not a defence against forgery, which
// could at worst show wrong strings (every string read stays inside its slot).
std::uint64_t fingerprint(std::string_view bytes) {
    constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = 0x243F6A8885A308D3ull ^ bytes.size();
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        h = (h ^ word) * kMul;
        h ^= h >> 29;
    }
    for (; i < bytes.size(); ++i)
        h = (h ^ static_cast<unsigned char>(bytes[i])) * kMul;
    return h ^ (h >> 32);
}

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
}

// Length of the zero-terminated string at the start of a slot; none when the slot holds no NUL.
std::optional<std::size_t> slotLength(const char16_t* slot, std::size_t units) {
    const char16_t* end = std::find(slot, slot + units, u'\0');
    if (end == slot + units)
        return std::nullopt;
    return static_cast<std::size_t>(end - slot);
}

// The index a load builds before it replaces the old one.
struct BuiltIndex {
    std::vector<std::int32_t> counts;
    std::vector<IndexEntry> entries;
    std::size_t codeFill = 0;
    std::size_t textFill = 0;
    std::size_t skipped = 0;
    bool poolFull = false;
};

struct Pools {
    char16_t* code;
    char16_t* text;
    std::size_t units;
};

// Walks the framed entries, giving each its slots in order (slot = byte length + 1 units), and
// either converts the strings into the slots (refill) or reads them back (attach). An attach
// that finds slots not written from these bytes returns nothing: the pools must be refilled.
// One loop serves both: split into two functions over a shared walk, the keypad table's first
// load took 40 ms instead of 25 on this machine.
std::optional<BuiltIndex> fillOrIndex(bool refill, std::span<const std::byte> file,
                                      const CodeTableFrame& frame, CodeTableLayout layout,
                                      const Pools& pools) {
    BuiltIndex built;
    built.counts.assign(bucketCount(layout), 0);
    built.entries.reserve(frame.entryCount);
    platform::GbkCodec codec;

    FramedEntryCursor cursor = frame.entries();
    while (const auto framed = cursor.next()) {
        const FramedEntry& e = *framed;
        const std::size_t codeSlot = e.codeBytes + 1u;
        const std::size_t textSlot = e.textBytes + 1u;
        if (built.codeFill + codeSlot > pools.units || built.textFill + textSlot > pools.units) {
            built.poolFull = true;
            break;
        }
        const std::size_t codeOffset = built.codeFill;
        const std::size_t textOffset = built.textFill;
        char16_t* code = pools.code + codeOffset;
        char16_t* text = pools.text + textOffset;
        built.codeFill += codeSlot;
        built.textFill += textSlot;

        const std::string_view codeBytes = CodeTableFrame::code(file, e);
        const std::string_view textBytes = CodeTableFrame::text(file, e);
        const bool inBucket =
            static_cast<unsigned char>(codeBytes.front()) == firstKey(layout) + e.bucket;
        std::size_t codeLength = 0;
        std::size_t textLength = 0;

        if (refill) {
            code[0] = text[0] = u'\0';
            if (!inBucket || codeBytes.find('\0') != std::string_view::npos ||
                textBytes.find('\0') != std::string_view::npos) {
                ++built.skipped;
                continue;
            }
            const auto c = codec.decode(codeBytes, std::span(code, e.codeBytes));
            const auto t = c ? codec.decode(textBytes, std::span(text, e.textBytes)) : std::nullopt;
            if (c && t) {
                code[codeLength = *c] = u'\0';
                text[textLength = *t] = u'\0';
            } else {
                // A failed conversion may have written part of a string: an attach must find
                // the slot empty, as this load leaves the entry out.
                code[0] = text[0] = u'\0';
            }
        } else {
            // The refill leaves both slots of an entry it skipped empty.
            if (!inBucket || code[0] == u'\0') {
                ++built.skipped;
                continue;
            }
            // Codes are ASCII, which the pool must hold as it is: a cheap check that the slots
            // were written from these bytes.
            if (isAscii(codeBytes)) {
                if (!std::equal(codeBytes.begin(), codeBytes.end(), code) ||
                    code[codeBytes.size()] != u'\0')
                    return std::nullopt;
                codeLength = codeBytes.size();
            } else {
                const auto c = slotLength(code, codeSlot);
                if (!c)
                    return std::nullopt;
                codeLength = *c;
            }
            const auto t = slotLength(text, textSlot);
            if (!t)
                return std::nullopt;
            textLength = *t;
        }

        if (codeLength == 0 || textLength == 0) {
            ++built.skipped;
            continue;
        }
        // Offsets stay below the pool size and lengths below the slot size (at most 128 units),
        // so both fit their fields.
        built.entries.push_back(IndexEntry{
            static_cast<std::uint32_t>(codeOffset), static_cast<std::uint32_t>(textOffset),
            static_cast<std::uint8_t>(codeLength), static_cast<std::uint8_t>(textLength)});
        ++built.counts[e.bucket];
    }
    return built;
}

} // namespace

CodeTable::CodeTable(CodeTableOptions options, CodeTableReporter& reporter,
                     platform::SharedControlSection* section)
    : options_(std::move(options)), reporter_(reporter), section_(section),
      layout_(layoutOfScheme(options_.scheme)),
      names_(codeTableNames(options_.scheme, options_.nameSuffix)),
      owner_(tableOwner(options_.folder.userPath())) {}

CodeTable::~CodeTable() {
    unload();
}

CodeTableSchemeControl* CodeTable::sharedControl() const {
    if (!section_ || !layout_ || platform::isProcessPrivate(section_))
        return nullptr;
    return &codeTableControl(*section_).schemes[schemeSlot(*layout_)];
}

CodeTableSchemeControl* CodeTable::control() const {
    return ownPools_ ? ownControl_.get() : sharedControl();
}

std::uint32_t CodeTable::sharedGeneration() const {
    CodeTableSchemeControl* c = control();
    return c ? sharedWord(c->generation).load() : 0;
}

bool CodeTable::editable() const {
    return control() && (ownPools_ || mutex_);
}

CodeTableView CodeTable::view() const {
    if (!loaded_)
        return CodeTableView{
            layout_.value_or(CodeTableLayout::Digits), {}, nullptr, nullptr, {}, {}};
    return CodeTableView{*layout_,
                         index_->starts,
                         static_cast<const char16_t*>(index_->codePool->data()),
                         static_cast<const char16_t*>(index_->textPool->data()),
                         index_->entries,
                         index_->byCode};
}

HeldView CodeTable::heldView() const {
    if (!loaded_)
        return HeldView{view(), nullptr, {}};
    // A save or refill by any process moves the generation on. The shared control block lives in
    // the process's shared section, which outlasts every table and list; a block of the table's
    // own is held by the list.
    std::function<bool()> unchanged;
    if (CodeTableSchemeControl* shared = control(); shared && generation_)
        unchanged = [shared, generation = *generation_,
                     own = ownPools_ ? std::shared_ptr<const void>(ownControl_) : nullptr] {
            return sharedWord(shared->generation).load() == generation;
        };
    return HeldView{view(), index_, std::move(unchanged)};
}

CodeTable::Index& CodeTable::editableIndex() {
    if (index_.use_count() > 1)
        index_ = std::make_shared<Index>(*index_);
    index_->byCode.clear();
    return *index_;
}

void CodeTable::dropIndex() {
    loaded_ = false;
    partial_ = false;
    index_.reset();
}

void CodeTable::unload() {
    dropIndex();
    codePool_.reset();
    textPool_.reset();
    mutex_.reset();
    generation_.reset();
    ownPools_ = false;
    ownControl_.reset();
    watched_ = nullptr;
}

bool CodeTable::openSharedPools() {
    auto codePool = platform::SharedMemory::openOrCreate(names_->codePool, options_.poolBytes);
    auto textPool = codePool
                        ? platform::SharedMemory::openOrCreate(names_->textPool, options_.poolBytes)
                        : std::nullopt;
    mutex_ = textPool ? platform::NamedMutex::open(names_->mutex) : std::nullopt;
    if (!mutex_)
        return false;
    codePool_ = std::make_shared<platform::SharedMemory>(std::move(*codePool));
    textPool_ = std::make_shared<platform::SharedMemory>(std::move(*textPool));
    return true;
}

bool CodeTable::openOwnPools() {
    ownPools_ = true;
    // Zero: the first load into these pools fills them.
    ownControl_ = std::make_shared<CodeTableSchemeControl>();
    if (auto codePool = platform::SharedMemory::createUnnamed(options_.poolBytes))
        codePool_ = std::make_shared<platform::SharedMemory>(std::move(*codePool));
    if (auto textPool =
            codePool_ ? platform::SharedMemory::createUnnamed(options_.poolBytes) : std::nullopt)
        textPool_ = std::make_shared<platform::SharedMemory>(std::move(*textPool));
    return codePool_ && textPool_;
}

void CodeTable::watchOtherProcesses() {
    // The shared block itself when the section is shared but the pools were not to be had; the
    // shared object read-only when the section is the process's own.
    const platform::SharedControlSection* shared =
        platform::isProcessPrivate(section_) ? platform::watchedSharedSection() : section_;
    watched_ =
        shared && layout_ ? &codeTableControl(*shared).schemes[schemeSlot(*layout_)] : nullptr;
}

std::uint32_t CodeTable::watchedGeneration() const {
    // A plain load, never a read-modify-write: the block may be mapped read-only.
    return watched_ ? __atomic_load_n(&watched_->generation, __ATOMIC_ACQUIRE) : 0;
}

void CodeTable::load() {
    unload();
    report_ = {};
    if (!layout_ || !names_)
        return;
    // Every failure below is shown once: the load counts as current until the next save.
    const auto fail = [this](std::u16string_view text, std::u16string_view caption) {
        dropIndex();
        codePool_.reset();
        textPool_.reset();
        mutex_.reset();
        generation_ = sharedGeneration();
        watchedGeneration_ = watchedGeneration();
        reporter_.messageBox(text, caption, CodeTableReporter::Style::Plain);
    };
    if (!section_)
        return fail(u"创建映射码表失败！", kInfo);

    if (CodeTableSchemeControl* shared = sharedControl(); shared && openSharedPools()) {
        // Without the lock nothing is indexed; the next search tries again.
        SchemeLock lock(mutex_, options_.lockMilliseconds);
        if (!lock.owns())
            return;
        // A pool made just now holds nothing, whatever the control block says.
        const bool fresh = !codePool_->existed() || !textPool_->existed();
        // Pools that hold another user's tables (two users in one session) are neither used nor
        // written: this process falls back to pools of its own below.
        if (fresh || !shared->filled || shared->owner == owner_) {
            if (lock.recovered())
                markStale(*shared);
            if (fresh)
                shared->filled = 0;
            return loadLocked(*shared);
        }
    }

    // The shared pools are not to be had for writing, or are another user's: pools of this
    // table's own, filled from the file, and the other processes' saves followed where they can
    // be read.
    codePool_.reset();
    textPool_.reset();
    mutex_.reset();
    const bool made = openOwnPools();
    watchOtherProcesses();
    if (!made)
        return fail(codePool_ ? u"创建映射码元失败！" : u"创建映射码表失败！", kInfo);
    loadLocked(*ownControl_);
}

void CodeTable::loadLocked(CodeTableSchemeControl& control) {
    dropIndex();
    report_ = {};
    // Before the file is read: a save that lands meanwhile makes the next search load again.
    watchedGeneration_ = watchedGeneration();
    const auto refuse = [&] {
        generation_ = sharedWord(control.generation).load();
        reporter_.messageBox(u"码表打开失败！", kInfo, CodeTableReporter::Style::Plain);
    };
    // One byte more than any acceptable table, so that a larger file is refused by the framing.
    // The user's copy once there is one, else the installed table.
    const auto bytes = platform::readWholeFile(
        options_.folder.fileToRead(codeTableFileName(options_.scheme)), kMaxCodeTableFileBytes + 1);
    if (!bytes)
        return refuse();
    const std::span<const std::byte> file = std::as_bytes(std::span(bytes->data(), bytes->size()));
    const CodeTableFrame frame = frameCodeTable(file, *layout_);
    if (!frame.ok())
        return refuse();

    const Pools pools{static_cast<char16_t*>(codePool_->data()),
                      static_cast<char16_t*>(textPool_->data()),
                      options_.poolBytes / sizeof(char16_t)};
    const std::uint64_t hash = fingerprint(*bytes);
    bool refill = !control.filled || control.stale || control.fileSize != bytes->size() ||
                  control.fileHash != hash || control.poolUnits != pools.units;
    std::optional<BuiltIndex> built;
    if (!refill) {
        codePool_->prefetch(static_cast<std::size_t>(std::max(control.codeFill, 0)) *
                            sizeof(char16_t));
        textPool_->prefetch(static_cast<std::size_t>(std::max(control.textFill, 0)) *
                            sizeof(char16_t));
        built = fillOrIndex(false, file, frame, *layout_, pools);
    }
    if (!built) {
        refill = true;
        // Before the first string is overwritten: the lists that other processes hold over the
        // old contents stop reading them (their generation has moved), and a crash from here on
        // leaves the pools marked unfilled for the next process.
        control.filled = 0;
        sharedWord(control.generation).fetch_add(1);
        built = fillOrIndex(true, file, frame, *layout_, pools);
    }

    const std::size_t buckets = bucketCount(*layout_);
    auto index = std::make_shared<Index>();
    index->codePool = codePool_;
    index->textPool = textPool_;
    index->starts.assign(buckets + 1, 0);
    for (std::size_t k = 0; k < buckets; ++k)
        index->starts[k + 1] = index->starts[k] + built->counts[k];
    std::copy(built->counts.begin(), built->counts.end(), control.counts);
    std::copy(index->starts.begin(), index->starts.end(), control.starts);
    control.codeFill = static_cast<std::int32_t>(built->codeFill);
    control.textFill = static_cast<std::int32_t>(built->textFill);
    if (refill) {
        control.poolUnits = static_cast<std::uint32_t>(pools.units);
        control.fileSize = bytes->size();
        control.fileHash = hash;
        control.owner = owner_;
        control.stale = 0;
        control.filled = 1;
    }
    index->entries = std::move(built->entries);
    index_ = std::move(index);
    loaded_ = true;
    index_->byCode = sortEntriesByCode(view());
    partial_ = built->poolFull;
    report_ = CodeTableLoadReport{refill, built->poolFull, index_->entries.size(), built->skipped};
    generation_ = sharedWord(control.generation).load();
    sharedWord(control.mappedMask).fetch_or(maskBit(options_.instanceNumber));
}

bool CodeTable::isCurrent() const {
    CodeTableSchemeControl* shared = control();
    if (!shared)
        return true; // nothing to load, or nothing to load it into
    if (!generation_ || *generation_ != sharedWord(shared->generation).load())
        return false;
    if (watched_ && watchedGeneration_ != watchedGeneration())
        return false;
    return !loaded_ || (sharedWord(shared->mappedMask).load() & maskBit(options_.instanceNumber));
}

void CodeTable::refreshIfStale() {
    if (!isCurrent())
        load();
}

bool CodeTable::ensureCurrentLocked(CodeTableSchemeControl& control) {
    if (loaded_ && isCurrent())
        return true;
    loadLocked(control);
    return loaded_;
}

void CodeTable::markStale(CodeTableSchemeControl& control) {
    control.stale = 1;
    sharedWord(control.mappedMask).store(0);
    sharedWord(control.generation).fetch_add(1);
}

bool CodeTable::save() {
    CodeTableSchemeControl* shared = control();
    if (!editable()) {
        reporter_.messageBox(u"码表保存失败！", kInfo, CodeTableReporter::Style::Plain);
        return false;
    }
    SchemeLock lock(mutex_, options_.lockMilliseconds);
    // An index older than the file would write back without another process's change.
    if (!lock.owns() || !loaded_ || !isCurrent()) {
        reporter_.messageBox(u"码表保存失败！", kInfo, CodeTableReporter::Style::Plain);
        return false;
    }
    return saveLocked(*shared);
}

bool CodeTable::saveLocked(CodeTableSchemeControl& control) {
    markStale(control);

    const std::size_t buckets = bucketCount(*layout_);
    std::vector<std::int32_t> counts(buckets, 0);
    std::string body;
    body.reserve(index_->entries.size() * 12);
    const CodeTableView index = view();
    platform::GbkCodec codec;
    std::array<char, 2 * kMaxFieldBytes> code{};
    std::array<char, 2 * kMaxFieldBytes> text{};
    for (std::size_t b = 0; b < buckets; ++b) {
        const auto first = static_cast<std::size_t>(index_->starts[b]);
        const auto last = static_cast<std::size_t>(index_->starts[b + 1]);
        for (std::size_t i = first; i < last; ++i) {
            if (index.code(i).size() > kMaxFieldBytes || index.text(i).size() > kMaxFieldBytes)
                continue;
            const auto c = codec.encode(index.code(i), code);
            const auto t = codec.encode(index.text(i), text);
            // Strings that cannot be written back are left out rather than written wrongly.
            if (!c || !t || *c == 0 || *t == 0 || *c > kMaxFieldBytes || *t > kMaxFieldBytes)
                continue;
            body.push_back(static_cast<char>(*c));
            body.append(code.data(), *c);
            body.push_back(static_cast<char>(*t));
            body.append(text.data(), *t);
            ++counts[b];
        }
    }
    std::string bytes;
    bytes.reserve(codeTableHeaderBytes(buckets) + body.size());
    appendCodeTableHeader(bytes, counts);
    bytes += body;

    // The whole table goes to the user's folder; the installed table is never written. The
    // first save makes the user's copy, which every process of the user loads from then on.
    const auto path = options_.folder.fileToWrite(codeTableFileName(options_.scheme));
    if (!path || !platform::replaceFileContents(*path, bytes)) {
        reporter_.messageBox(u"码表保存失败！", kInfo, CodeTableReporter::Style::Plain);
        return false;
    }
    // Pools of this table's own: the shared block's generation tells the user's other processes
    // (which follow it) to load the file again.
    if (ownPools_)
        if (CodeTableSchemeControl* shared = sharedControl())
            sharedWord(shared->generation).fetch_add(1);
    return true;
}

} // namespace tovi
