#include "ui/ControlHelpers.h"

#include <vector>

namespace varnak {
namespace {

// Lets the overlay catalogue write a description into a control.
class ControlTextSink : public TextSink {
public:
    explicit ControlTextSink(toolkit::Control& control) : control_(control) {}
    void SetText(const std::string& utf8) override { control_.SetText(utf8); }

private:
    toolkit::Control& control_;
};

std::vector<std::string> ItemTexts(const toolkit::ComboBox& combo) {
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(combo.GetCount()));
    for (int index = 0; index < combo.GetCount(); ++index) {
        texts.push_back(combo.GetLBText(index));
    }
    return texts;
}

} // namespace

void FillTrayList(toolkit::ComboBox& trays) {
    for (const auto& text : TrayListTexts()) {
        trays.AddString(text);
    }
}

void FillOverlayList(toolkit::ComboBox& overlays, OverlayCatalog& catalog) {
    for (const auto& text : OverlayListTexts(catalog.ListOverlays())) {
        overlays.AddString(text);
    }
    overlays.SetCurSel(0);
}

void SelectStoredOverlay(toolkit::ComboBox& overlays, std::uint32_t overlay) {
    if (const auto item = OverlayItemFor(ItemTexts(overlays), overlay)) {
        overlays.SetCurSel(static_cast<int>(*item));
    }
}

std::optional<std::string> SelectedItem(const toolkit::ComboBox& combo) {
    const int selection = combo.GetCurSel();
    if (selection < 0) {
        return std::nullopt;
    }
    return combo.GetLBText(selection);
}

void ShowDescription(const OverlayCatalog& catalog, const std::string& item,
                     toolkit::Control& box) {
    ControlTextSink sink(box);
    catalog.ShowDescription(item, sink);
}

} // namespace varnak
