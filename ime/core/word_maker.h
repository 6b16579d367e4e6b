// The word maker's side of the module, apart from its dialog: the word it keeps between uses
// (the application's selection when it opens), the code it proposes for that word, and adding
// or deleting a word in the current scheme's table.
#pragma once

#include "engine/ime_host.h"
#include "schemes/code_table_loader.h"
#include "tables/ime_settings.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tovi {

class WordMaker {
public:
    // The dialog's buffers: 255 units for the word and 10 for the code, terminators included.
    static constexpr std::size_t kMaxWordUnits = 254;
    static constexpr std::size_t kMaxCodeUnits = 9;

    using CodeProposer = std::function<std::u16string(std::u16string_view word)>;
    WordMaker(ImeHost& host, const ImeSettings& settings, CodeTableLoader& loader,
              CodeProposer propose)
        : host_(host), settings_(settings), loader_(loader), propose_(std::move(propose)) {}

    // The text the application put on the clipboard for its selection becomes the word, cut to
    // the buffer; without text on the clipboard the word stays what it was.
    void takeSelection(std::optional<std::u16string_view> clipboardText);
    const std::u16string& word() const { return word_; }
    // The code the tables give the word.
    std::u16string proposedCode() const { return propose_(word_); }

    // Adds or deletes the word (kept as the word) under the code, each cut to its buffer. On
    // success the info window says so; a refusal says why, in the info window while operation
    // hints show it, else in a message box. Nothing is written on a refusal.
    bool add(std::u16string_view code, std::u16string_view word);
    bool remove(std::u16string_view code, std::u16string_view word);

private:
    bool edit(std::u16string_view code, std::u16string_view word, bool adding);

    ImeHost& host_;
    const ImeSettings& settings_;
    CodeTableLoader& loader_;
    CodeProposer propose_;
    std::u16string word_;
};

} // namespace tovi
