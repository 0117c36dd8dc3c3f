#include "platform/toolkit/Template.h"

#include <algorithm>

namespace varnak::toolkit {
namespace {

bool IsInputControl(const ControlTemplate& control) {
    switch (control.Kind) {
    case ControlKind::ComboBox:
    case ControlKind::ListView:
        return true;
    case ControlKind::Edit:
        return (control.Styles & Style::ReadOnly) == 0;
    default:
        return false;
    }
}

// A drop-down list's rectangle includes its open list; a label names its closed line.
constexpr int FirstLineHeight = 16;

bool OnFirstLineOf(const ControlTemplate& label, const Rect& control) {
    const int middle2 = label.Bounds.Y * 2 + label.Bounds.Height;
    const int top = control.Y;
    const int bottom = control.Y + std::min(control.Height, FirstLineHeight);
    return label.Bounds.X < control.X && middle2 >= top * 2 && middle2 <= bottom * 2;
}

bool Contains(const Rect& outer, const Rect& inner) {
    return inner.X >= outer.X && inner.Y >= outer.Y &&
           inner.X + inner.Width <= outer.X + outer.Width &&
           inner.Y + inner.Height <= outer.Y + outer.Height;
}

} // namespace

const ControlTemplate* LabelOf(const DialogTemplate& tmpl, std::size_t index) {
    if (index >= tmpl.Controls.size() || !IsInputControl(tmpl.Controls[index])) {
        return nullptr;
    }
    const Rect& bounds = tmpl.Controls[index].Bounds;
    const ControlTemplate* label = nullptr;
    const ControlTemplate* group = nullptr;
    for (const auto& each : tmpl.Controls) {
        if (each.Kind == ControlKind::Label && OnFirstLineOf(each, bounds) &&
            (label == nullptr || each.Bounds.X > label->Bounds.X)) {
            label = &each;
        }
        if (each.Kind == ControlKind::GroupBox && Contains(each.Bounds, bounds) &&
            (group == nullptr || Contains(group->Bounds, each.Bounds))) {
            group = &each;
        }
    }
    return label != nullptr ? label : group;
}

} // namespace varnak::toolkit
