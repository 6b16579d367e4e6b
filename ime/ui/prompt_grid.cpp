#include "ui/prompt_grid.h"

namespace tovi {
namespace {

constexpr std::int32_t kLeft = 6;
constexpr std::int32_t kTop = 3;

} // namespace

PromptGridLayout layoutPromptGrid(std::span<const std::u16string> prompts, Size client,
                                  const TextMeasure& measure) {
    const Size a = measure.measure(FontRole::Prompt, u"啊");
    const std::int64_t cw = 4 * std::int64_t{a.width} + 3;
    const std::int64_t ch = std::int64_t{a.height} + 3;

    PromptGridLayout out;
    for (std::size_t i = 0; i < kPromptColumns * kPromptRows; ++i) {
        PromptGridCell cell;
        cell.cell = rectAt(static_cast<std::int64_t>(i % kPromptColumns) * cw + kLeft,
                           static_cast<std::int64_t>(i / kPromptColumns) * ch + kTop, cw, ch);
        if (i < prompts.size())
            cell.text = prompts[i];
        const Size text = measure.measure(FontRole::Prompt, cell.text);
        cell.textOrigin = {
            saturate((std::int64_t{cell.cell.left} + cell.cell.right - text.width) / 2),
            saturate((std::int64_t{cell.cell.top} + cell.cell.bottom - text.height) / 2)};
        out.cells.push_back(std::move(cell));
    }
    const std::int32_t r = client.width - 1;
    const std::int32_t b = client.height - 1;
    for (int row = 1; row < kPromptRows; ++row) {
        const std::int32_t y =
            out.cells[static_cast<std::size_t>(row * kPromptColumns)].cell.top - 1;
        out.separators.push_back({{1, y}, {r, y}});
    }
    for (int column = 1; column < kPromptColumns; ++column) {
        const std::int32_t x = out.cells[static_cast<std::size_t>(column)].cell.left - 1;
        out.separators.push_back({{x, kTop - 1}, {x, b}});
    }
    return out;
}

} // namespace tovi
