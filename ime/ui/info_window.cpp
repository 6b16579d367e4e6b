#include "ui/info_window.h"

#include "tables/ime_settings.h"
#include "ui/box_outline.h"

namespace tovi {

InfoWindowLayout layoutInfoWindow(const InfoMessage& message, std::uint32_t flags,
                                  const TextMeasure& measure) {
    InfoWindowLayout out;
    out.visible = (flags & flag::OperationHints) && !message.text().empty();
    if (!out.visible)
        return out;
    const Size extent = measure.measure(FontRole::Small, message.text());
    out.size = {saturate(std::int64_t{extent.width} + 3),
                saturate(std::int64_t{extent.height} + 12)};
    out.background = message.background();
    out.outline = boxOutline(out.size);
    out.text = message.text();
    out.textOrigin = {2, 3};
    out.textColour = message.textColour();
    return out;
}

Point infoCreatePosition(const WindowPlace& status) {
    return {status.x, saturate(std::int64_t{status.y} - status.height)};
}

Size infoRecordSize(const TextMeasure& measure) {
    return {10, saturate(std::int64_t{measure.measure(FontRole::Small, u"哈哈哈").height} + 6)};
}

std::optional<Rect> placeInfoOnUpdate(std::uint32_t flags, Point candidateOrigin,
                                      const InfoMessage& message, const TextMeasure& measure) {
    if (flags & flag::RootHints)
        return std::nullopt;
    const Size extent = measure.measure(FontRole::Small, message.text());
    return rectAt(candidateOrigin.x, std::int64_t{candidateOrigin.y} + 52, extent.width,
                  extent.height);
}

} // namespace tovi
