#pragma once

#include "overlays/OverlayCatalog.h"
#include "platform/toolkit/Controls.h"

#include <string>
#include <vector>

namespace varnak {

// Lets the overlay catalogue write a description into a control.
class ControlTextSink : public TextSink {
public:
    explicit ControlTextSink(toolkit::Control& control) : control_(control) {}
    void SetText(const std::string& utf8) override { control_.SetText(utf8); }

private:
    toolkit::Control& control_;
};

// The texts of a combo box's items, in list order.
inline std::vector<std::string> ItemTexts(const toolkit::ComboBox& combo) {
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(combo.GetCount()));
    for (int index = 0; index < combo.GetCount(); ++index) {
        texts.push_back(combo.GetLBText(index));
    }
    return texts;
}

} // namespace varnak
