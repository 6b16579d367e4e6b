#include "ui/settings_dialog_model.h"

#include "platform/file_io.h"
#include "platform/file_replace.h"
#include "resources/resource_ids.h"
#include "tables/ime_settings.h"

#include <algorithm>

namespace tovi {

const std::array<FlagCheckBox, kFlagCheckBoxCount>& flagCheckBoxes() {
    static constexpr std::array<FlagCheckBox, kFlagCheckBoxCount> boxes{{
        {IDC_FULLWIDTH_SYMBOLS, flag::FullWidthSymbols},
        {IDC_FULLWIDTH_LETTERS, flag::FullWidthLetters},
        {IDC_ROOT_HINTS, flag::RootHints},
        {IDC_OPERATION_HINTS, flag::OperationHints},
        {IDC_WORD_ASSOCIATION, flag::WordAssociation},
        {IDC_CARET_FOLLOW, flag::CaretFollow},
        {IDC_PROGRESSIVE_HINTS, flag::ProgressiveHints},
        {IDC_VERTICAL_LAYOUT, flag::VerticalLayout},
        {IDC_WEB_SEARCH, flag::WebSearch},
    }};
    return boxes;
}

std::array<bool, kFlagCheckBoxCount> checksFromFlags(std::uint32_t flags) {
    std::array<bool, kFlagCheckBoxCount> checks{};
    for (std::size_t i = 0; i < kFlagCheckBoxCount; ++i)
        checks[i] = (flags & flagCheckBoxes()[i].flag) != 0;
    return checks;
}

std::uint32_t flagsFromChecks(std::uint32_t flags,
                              const std::array<bool, kFlagCheckBoxCount>& checks) {
    for (std::size_t i = 0; i < kFlagCheckBoxCount; ++i) {
        const std::uint32_t bit = flagCheckBoxes()[i].flag;
        flags = checks[i] ? (flags | bit) : (flags & ~bit);
    }
    return flags;
}

std::u16string statusSkinPicture(std::u16string_view entry) {
    const bool listed =
        std::find(kSkinEntries.begin(), kSkinEntries.end(), entry) != kSkinEntries.end();
    return u"\\skin\\" + std::u16string(listed ? entry : kSkinEntries[0]);
}

std::u16string candidateSkinPicture(std::int64_t skin) {
    const std::int64_t index = skin >= 0 && skin < static_cast<std::int64_t>(kSkinCount) ? skin : 0;
    return u"\\skin\\cand-" + std::u16string(1, static_cast<char16_t>(u'0' + index)) + u".bmp";
}

bool useSkinPicture(const platform::InstallFolder& folder, std::u16string_view chosen,
                    std::u16string_view shown) {
    const auto bytes = platform::readWholeFile(folder.fileToRead(chosen), kMaxSkinPictureBytes + 1);
    if (!bytes || bytes->size() > kMaxSkinPictureBytes)
        return false;
    if (platform::readWholeFile(folder.fileToRead(shown), kMaxSkinPictureBytes + 1) == bytes)
        return true;
    const auto target = folder.fileToWrite(shown);
    return target && platform::replaceFileContents(*target, *bytes);
}

} // namespace tovi
