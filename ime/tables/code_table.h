// The process's view of a scheme's shared code table. The strings live in two named pools of
// shared memory that every process maps; each process keeps its own index over them.
//
// The first process to load a table (or the first after a save) converts the file's strings and
// copies them into the pools: a refill. Every later process reads the file only to compute where
// each string sits and checks that the pools were filled from the same bytes: an attach. A save
// writes the file and makes every process load again at its next search. Refills, attaches, word
// additions and saves of a scheme run under that scheme's named mutex.
//
// A process that cannot share (its control section is private to it, the scheme's pools or
// mutex cannot be opened for writing, or the pools hold another user's tables) gives each load
// pools of its own, unnamed, filled from the file. It writes no pool that another process reads,
// follows the other processes' saves through the shared control block wherever it can read one,
// and where it can write that block, its own saves move the block's generation on.
//
// One thread uses an object at a time: the load thread until it publishes the object, then the
// input thread.
#pragma once

#include "platform/install_folder.h"
#include "platform/named_mutex.h"
#include "platform/shared_memory.h"
#include "platform/shared_section.h"
#include "tables/code_table_control.h"
#include "tables/code_table_index.h"
#include "tables/code_table_reporter.h"
#include "tables/table_candidates.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovi {

struct CodeTableOptions {
    Scheme scheme = Scheme::Keypad;
    // Where the scheme's table file is read (the user's copy first) and written (the user's
    // folder only).
    platform::InstallFolder folder;
    // The process's instance number (takeInstanceNumber()), for its bit in the mask.
    std::uint32_t instanceNumber = 0;
    // Added to the shared names; empty in the module.
    std::u16string nameSuffix;
    // Size of each pool; tests use small ones.
    std::size_t poolBytes = kCodeTablePoolBytes;
    // Longest wait for the scheme's mutex.
    std::uint32_t lockMilliseconds = 5000;
};

// What the last load did, for tests and benchmarks.
struct CodeTableLoadReport {
    bool refilled = false;   // converted and copied the strings into the pools
    bool poolFull = false;   // stopped at the first string that did not fit
    std::size_t entries = 0; // entries indexed
    std::size_t skipped = 0; // framed entries left out (wrong bucket, not GBK)
};

class CodeTable {
public:
    // `section` holds the control block; null leaves every load empty. A section private to the
    // process (platform::isProcessPrivate) makes every load use pools of its own.
    CodeTable(CodeTableOptions options, CodeTableReporter& reporter,
              platform::SharedControlSection* section);
    virtual ~CodeTable();
    CodeTable(const CodeTable&) = delete;
    CodeTable& operator=(const CodeTable&) = delete;

    // Maps the scheme's pools and fills or indexes them from the scheme's file. Failures are
    // shown and leave no index. A scheme without a table loads nothing and shows nothing.
    void load();
    // Drops the index and unmaps the pools; a second call does nothing.
    void unload();
    // Writes the table to its file (beside the old one, then in its place) and makes every
    // process load again. False, after a message, when the file cannot be written.
    bool save();
    // False once another process saved (or refilled) since this process's load. A load that
    // failed counts as current until the next save, so that a missing file is reported once.
    bool isCurrent() const;
    // Unloads and loads when not current: the searches run this first.
    void refreshIfStale();

    // Moves the first entry of `code`'s prefix matches whose text is `text` to the front of
    // them, then saves. Nothing happens when there is no such entry or it is already first.
    void promote(std::u16string_view code, std::u16string_view text);
    // The word maker. Each checks its arguments against the scheme's layout, shows a warning and
    // returns false when they do not fit; otherwise it edits and saves. The warning goes to
    // `warnings` when one is given, else into a message box.
    using WarningSink = std::function<void(std::u16string_view)>;
    bool addWord(std::u16string_view code, std::u16string_view text,
                 const WarningSink& warnings = {});
    bool deleteWord(std::u16string_view code, std::u16string_view text,
                    const WarningSink& warnings = {});

    Scheme scheme() const { return options_.scheme; }
    // True when an index is loaded (possibly empty).
    bool loaded() const { return loaded_; }
    // The index; valid until the next load, unload or edit.
    CodeTableView view() const;
    // The index with a share in it and in the pools, valid for as long as it is held.
    HeldView heldView() const;
    const CodeTableLoadReport& lastLoad() const { return report_; }
    // True when the last load used pools of its own instead of the shared ones.
    bool ownPools() const { return ownPools_; }

private:
    // The scheme's mutex held for a load, an edit or a save. A table with pools of its own shares
    // nothing and takes none.
    class SchemeLock {
    public:
        SchemeLock(std::optional<platform::NamedMutex>& mutex, std::uint32_t milliseconds) {
            if (mutex)
                lock_.emplace(*mutex, milliseconds);
        }
        bool owns() const { return !lock_ || lock_->owns(); }
        bool recovered() const { return lock_ && lock_->recovered(); }

    private:
        std::optional<platform::NamedMutexLock> lock_;
    };

    // The scheme's block in the shared section, or null (no section, no layout, or a section
    // private to the process).
    CodeTableSchemeControl* sharedControl() const;
    // The block the current load uses: the shared one, or this table's own.
    CodeTableSchemeControl* control() const;
    std::uint32_t sharedGeneration() const;
    // Whether this table may edit and save: it has a control block and, when it shares the
    // pools, the mutex that guards them.
    bool editable() const;
    bool openSharedPools();
    bool openOwnPools();
    void watchOtherProcesses();
    std::uint32_t watchedGeneration() const;
    void loadLocked(CodeTableSchemeControl& control);
    void dropIndex();
    bool saveLocked(CodeTableSchemeControl& control);
    void markStale(CodeTableSchemeControl& control);
    bool ensureCurrentLocked(CodeTableSchemeControl& control);
    void warn(std::u16string_view text);
    bool checkWord(std::u16string_view code, std::u16string_view text,
                   std::u16string_view noTextMessage);
    void publishStarts(CodeTableSchemeControl& control) const;
    template <typename Edit>
    bool underEditLock(Edit edit);
    bool insertWord(CodeTableSchemeControl& control, std::u16string_view code,
                    std::u16string_view text, std::size_t codeBytes, std::size_t textBytes);
    bool removeWord(CodeTableSchemeControl& control, std::u16string_view code,
                    std::u16string_view text);

    CodeTableOptions options_;
    CodeTableReporter& reporter_;
    // Where warnings go during addWord and deleteWord; null for the message box.
    const WarningSink* warnings_ = nullptr;
    platform::SharedControlSection* section_;
    std::optional<CodeTableLayout> layout_;
    std::optional<CodeTableNames> names_;
    // tableOwner() of this process's user folder.
    std::uint64_t owner_;

    // Shared with the candidate lists built from the index, which may outlive a load.
    std::shared_ptr<platform::SharedMemory> codePool_;
    std::shared_ptr<platform::SharedMemory> textPool_;
    std::optional<platform::NamedMutex> mutex_;

    // Pools of this table's own: their control block is this one, new with every load, so that
    // every load fills them from the file. Shared with the lists built over them.
    bool ownPools_ = false;
    std::shared_ptr<CodeTableSchemeControl> ownControl_;
    // The shared block of the scheme that a table with pools of its own follows read-only, and
    // the generation it had when the last load read the file.
    const CodeTableSchemeControl* watched_ = nullptr;
    std::uint32_t watchedGeneration_ = 0;

    bool loaded_ = false;
    bool partial_ = false; // the pool filled up: the index lacks entries of the file
    // Generation the index (or the failed load) belongs to.
    std::optional<std::uint32_t> generation_;
    // What a load builds. Candidate lists hold a share of it; an edit copies it first when they
    // do, so that a list never sees its entries move.
    struct Index {
        std::shared_ptr<const platform::SharedMemory> codePool;
        std::shared_ptr<const platform::SharedMemory> textPool;
        std::vector<std::int32_t> starts;
        std::vector<IndexEntry> entries;
        std::vector<std::uint32_t> byCode;
    };
    // The index to edit, unshared; its code order is dropped, as the edit changes the order (the
    // searches scan until the next load).
    Index& editableIndex();
    std::shared_ptr<Index> index_;
    CodeTableLoadReport report_;
};

} // namespace tovi
