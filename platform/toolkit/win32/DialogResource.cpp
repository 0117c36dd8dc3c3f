#include "platform/toolkit/win32/DialogResource.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>

namespace varnak::toolkit::win32 {
namespace {

// Sizes for controls whose template gives none: one per row, tall enough to be used.
constexpr int DefaultX = 4;
constexpr int DefaultWidth = 120;
constexpr int DefaultRow = 16;

int DefaultHeight(ControlKind kind) {
    switch (kind) {
    case ControlKind::ComboBox:
        return 80; // the height of the dropped list
    case ControlKind::ListView:
        return 60;
    default:
        return 12;
    }
}

class Writer {
public:
    void Word(std::uint16_t value) { Bytes(&value, sizeof value); }
    void Dword(std::uint32_t value) { Bytes(&value, sizeof value); }
    void Short(std::int16_t value) { Bytes(&value, sizeof value); }
    void Text(const std::wstring& text) {
        for (wchar_t c : text) {
            Word(static_cast<std::uint16_t>(c));
        }
        Word(0);
    }
    void AlignDword() {
        while (data_.size() % 4 != 0) {
            data_.push_back(0);
        }
    }
    std::vector<std::uint8_t> Take() { return std::move(data_); }

private:
    void Bytes(const void* bytes, std::size_t size) {
        const auto* p = static_cast<const std::uint8_t*>(bytes);
        data_.insert(data_.end(), p, p + size);
    }
    std::vector<std::uint8_t> data_;
};

std::uint32_t DialogStyleOf(const DialogTemplate& tmpl, TemplateRole role) {
    std::uint32_t style =
        DS_SETFONT | DS_FIXEDSYS; // with DS_SETFONT: "MS Shell Dlg" as the shell font
    switch (role) {
    case TemplateRole::TopLevel:
        style |= WS_POPUP | WS_CLIPSIBLINGS;
        if ((tmpl.Styles & DialogStyle::ModalFrame) != 0) {
            style |= DS_MODALFRAME;
        }
        if ((tmpl.Styles & DialogStyle::Caption) != 0) {
            style |= WS_CAPTION;
        }
        if ((tmpl.Styles & DialogStyle::SystemMenu) != 0) {
            style |= WS_SYSMENU;
        }
        break;
    case TemplateRole::Page:
        // DS_CONTROL: keyboard handling inside a page goes to the sheet, as in a property
        // sheet.
        style |= WS_CHILD | DS_CONTROL | WS_CLIPSIBLINGS;
        break;
    case TemplateRole::Sheet:
        style |= WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        break;
    }
    return style;
}

} // namespace

std::wstring LinkMarkup(std::string_view label) {
    return L"<a>" + Widen(label) + L"</a>";
}

Rect ControlBounds(const ControlTemplate& control, std::size_t index) {
    if (control.Bounds.Width > 0 || control.Bounds.Height > 0) {
        return control.Bounds;
    }
    return {DefaultX, DefaultX + DefaultRow * static_cast<int>(index), DefaultWidth,
            DefaultHeight(control.Kind)};
}

Rect DialogBounds(const DialogTemplate& tmpl) {
    if (tmpl.Width > 0 && tmpl.Height > 0) {
        return {0, 0, tmpl.Width, tmpl.Height};
    }
    Rect bounds{0, 0, 0, 0};
    for (std::size_t index = 0; index < tmpl.Controls.size(); ++index) {
        const Rect r = ControlBounds(tmpl.Controls[index], index);
        bounds.Width = std::max(bounds.Width, r.X + r.Width + DefaultX);
        bounds.Height = std::max(bounds.Height, r.Y + r.Height + DefaultX);
    }
    return bounds;
}

ItemStyle StyleOf(const ControlTemplate& control, bool startsGroup) {
    const std::uint32_t s = control.Styles;
    ItemStyle item;
    item.Style = WS_CHILD | WS_VISIBLE;
    if (startsGroup) {
        item.Style |= WS_GROUP;
    }
    if ((s & Style::Border) != 0) {
        item.Style |= WS_BORDER;
    }
    if ((s & Style::VScroll) != 0) {
        item.Style |= WS_VSCROLL;
    }
    switch (control.Kind) {
    case ControlKind::Label:
        item.ClassName = L"Static";
        item.Style |= SS_LEFT;
        break;
    case ControlKind::GroupBox:
        item.ClassName = L"Button";
        item.Style |= BS_GROUPBOX;
        break;
    case ControlKind::PushButton:
        item.ClassName = L"Button";
        item.Style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
    case ControlKind::RadioButton:
        item.ClassName = L"Button";
        item.Style |= WS_TABSTOP | BS_AUTORADIOBUTTON;
        break;
    case ControlKind::CheckBox:
        item.ClassName = L"Button";
        item.Style |= WS_TABSTOP | BS_AUTOCHECKBOX;
        break;
    case ControlKind::ComboBox:
        item.ClassName = L"ComboBox";
        item.Style |= WS_TABSTOP | CBS_DROPDOWNLIST;
        break;
    case ControlKind::Edit:
        item.ClassName = L"Edit";
        item.Style |= WS_TABSTOP | ES_LEFT;
        item.Style |= (s & Style::DigitsOnly) != 0 ? ES_NUMBER : 0;
        item.Style |= (s & Style::MultiLine) != 0 ? ES_MULTILINE : 0;
        item.Style |= (s & Style::ReadOnly) != 0 ? ES_READONLY : 0;
        item.Style |= (s & Style::AutoHScroll) != 0 ? ES_AUTOHSCROLL : 0;
        item.Style |= (s & Style::AutoVScroll) != 0 ? ES_AUTOVSCROLL : 0;
        if ((s & Style::MultiLine) == 0 && (s & Style::AutoHScroll) == 0) {
            // A one-line field scrolls with its text, or typing stops at its right edge.
            item.Style |= ES_AUTOHSCROLL;
        }
        break;
    case ControlKind::Link:
        item.ClassName = WC_LINK;
        item.Style |= WS_TABSTOP;
        break;
    case ControlKind::ListView:
        item.ClassName = WC_LISTVIEWW;
        item.Style |= WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER;
        item.Style |= (s & Style::SingleSelect) != 0 ? LVS_SINGLESEL : 0;
        break;
    }
    return item;
}

std::vector<std::uint8_t> BuildDialogTemplate(const DialogTemplate& tmpl, TemplateRole role) {
    const Rect size = DialogBounds(tmpl);
    Writer out;
    out.Word(1);      // dlgVer
    out.Word(0xFFFF); // signature: extended template
    out.Dword(0);     // helpID
    // The sheet and its pages hold controls of the dialog's own tab cycle.
    out.Dword(role == TemplateRole::TopLevel ? 0 : WS_EX_CONTROLPARENT);
    out.Dword(DialogStyleOf(tmpl, role));
    const bool withControls = role != TemplateRole::Sheet;
    out.Word(static_cast<std::uint16_t>(withControls ? tmpl.Controls.size() : 0));
    out.Short(0);
    out.Short(0);
    out.Short(static_cast<std::int16_t>(size.Width));
    out.Short(static_cast<std::int16_t>(size.Height));
    out.Word(0); // no menu
    out.Word(0); // the standard dialog class
    out.Text(role == TemplateRole::TopLevel ? Widen(tmpl.Caption) : std::wstring());
    out.Word(static_cast<std::uint16_t>(tmpl.FontSize));
    out.Word(FW_NORMAL);
    out.Word(DEFAULT_CHARSET << 8); // italic 0, then the character set
    out.Text(Widen(tmpl.FontName));

    if (!withControls) {
        return out.Take();
    }
    bool previousRadio = false;
    for (std::size_t index = 0; index < tmpl.Controls.size(); ++index) {
        const ControlTemplate& control = tmpl.Controls[index];
        // Each run of radio buttons is a group of its own, and so is what follows it.
        const bool radio = control.Kind == ControlKind::RadioButton;
        const bool startsGroup = index == 0 || radio != previousRadio;
        previousRadio = radio;
        const ItemStyle style = StyleOf(control, startsGroup);
        const Rect r = ControlBounds(control, index);
        out.AlignDword();
        out.Dword(0); // helpID
        out.Dword(style.ExStyle);
        out.Dword(style.Style);
        out.Short(static_cast<std::int16_t>(r.X));
        out.Short(static_cast<std::int16_t>(r.Y));
        out.Short(static_cast<std::int16_t>(r.Width));
        out.Short(static_cast<std::int16_t>(r.Height));
        out.Dword(control.Id == NoId ? 0xFFFFFFFFu : static_cast<std::uint32_t>(control.Id));
        out.Text(style.ClassName);
        out.Text(control.Kind == ControlKind::Link ? LinkMarkup(control.Text)
                                                   : Widen(control.Text));
        out.Word(0); // no creation data
    }
    return out.Take();
}

} // namespace varnak::toolkit::win32
