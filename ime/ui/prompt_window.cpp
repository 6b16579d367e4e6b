#include "ui/prompt_window.h"

#include "tables/ime_settings.h"

namespace tovi {

PromptContent promptContent(Scheme scheme) {
    switch (scheme) {
    case Scheme::Keypad:
        return PromptContent::Chart;
    case Scheme::Pinyin:
        return PromptContent::Grid;
    default:
        return PromptContent::None;
    }
}

PromptChart promptChart(std::size_t codeLength) {
    return codeLength == 1 ? kOneCharacterChart : kKeyboardChart;
}

Size promptWindowSize(Scheme scheme, std::size_t codeLength, const TextMeasure& measure) {
    if (scheme == Scheme::Keypad) {
        const Size chart = promptChart(codeLength).size;
        return {chart.width + 12, chart.height + 6};
    }
    const Size a = measure.measure(FontRole::Prompt, u"啊");
    if (scheme == Scheme::D)
        return {saturate(27 * std::int64_t{a.width} + 39),
                saturate(2 * std::int64_t{a.height} + 18)};
    return {saturate(28 * std::int64_t{a.width} + 33), saturate(5 * std::int64_t{a.height} + 27)};
}

bool promptShown(const PromptView& view) {
    if (!(view.flags & flag::RootHints) || !view.promptEnabled)
        return false;
    if (view.scheme == Scheme::Pinyin && view.spaceSelects)
        return false;
    return view.totalCount > 0;
}

} // namespace tovi
