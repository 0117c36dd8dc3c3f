#include "ui/Templates.h"

#include "ui/ControlIds.h"

namespace varnak {
namespace {

using toolkit::ControlKind;
using toolkit::ControlTemplate;
using toolkit::DialogTemplate;
using toolkit::NoId;
namespace Style = toolkit::Style;
namespace DialogStyle = toolkit::DialogStyle;

constexpr std::uint32_t DropDownList = Style::VScroll;
constexpr std::uint32_t LineEdit = Style::AutoHScroll | Style::Border;
constexpr std::uint32_t DescriptionBox = Style::MultiLine | Style::ReadOnly | Style::Border;
// Report style is the only kind of list view the toolkit has; rows are never sorted.
constexpr std::uint32_t ListViewStyle = Style::SingleSelect | Style::Border;

// A description box has no label of its own: assistive technology names it after the
// overlay list whose overlay it describes.
std::string DescriptionOf(const char* overlayLabel) {
    return std::string(overlayLabel) + " description";
}

DialogTemplate Page(int id, const char* caption, int width, int height,
                    std::vector<ControlTemplate> controls) {
    DialogTemplate tmpl;
    tmpl.Id = id;
    tmpl.Caption = caption;
    tmpl.Width = width;
    tmpl.Height = height;
    tmpl.Styles = DialogStyle::Child;
    tmpl.Controls = std::move(controls);
    return tmpl;
}

DialogTemplate MakeOptions() {
    DialogTemplate tmpl;
    tmpl.Id = ids::IDD_OPTIONS;
    tmpl.Caption = "ZOR Brevant";
    tmpl.Width = 492;
    tmpl.Height = 432;
    tmpl.Styles = DialogStyle::ModalFrame | DialogStyle::Caption | DialogStyle::SystemMenu;
    tmpl.Controls = {
        {ControlKind::GroupBox, NoId, "General Settings", Style::None, {7, 7, 478, 94}},
        {ControlKind::RadioButton, ids::IDC_SIMPLEX, "Simplex", Style::None, {336, 11, 82, 14}},
        {ControlKind::RadioButton, ids::IDC_DUPLEX, "Duplex", Style::None, {336, 22, 79, 15}},
        {ControlKind::RadioButton,
         ids::IDC_AS_DATASTREAM,
         "As Datastream",
         Style::None,
         {336, 34, 79, 14}},
        {ControlKind::ComboBox, ids::IDC_DEFAULT_TRAY, "", DropDownList, {100, 34, 139, 62}},
        {ControlKind::Label, NoId, "Default Input Tray:", Style::None, {13, 35, 67, 13}},
        {ControlKind::Label, NoId, "Number of copies:", Style::None, {12, 20, 68, 15}},
        {ControlKind::Edit,
         ids::IDC_COPIES,
         "",
         Style::DigitsOnly | Style::AutoHScroll | Style::Border,
         {100, 18, 25, 13}},
        {ControlKind::Label, NoId, "Default Form Overlay:", Style::None, {13, 53, 72, 16}},
        {ControlKind::ComboBox, ids::IDC_DEFAULT_OVERLAY, "", DropDownList, {100, 50, 139, 59}},
        {ControlKind::Label, NoId, "Stapling:", Style::None, {15, 73, 73, 14}},
        {ControlKind::ComboBox, ids::IDC_STAPLING, "", DropDownList, {100, 69, 139, 53}},
        {ControlKind::PushButton, ids::IDC_OK, "OK", Style::None, {97, 409, 71, 14}},
        {ControlKind::PushButton, ids::IDC_CANCEL, "Cancel", Style::None, {273, 409, 78, 14}},
        {ControlKind::Link, ids::IDC_MANUAL_LINK, "Online Manual", Style::None, {181, 18, 138, 13}},
        {ControlKind::Edit,
         ids::IDC_OVERLAY_DESCRIPTION,
         "",
         Style::MultiLine | Style::ReadOnly | Style::AutoVScroll | Style::AutoHScroll |
             Style::Border,
         {263, 50, 213, 46},
         DescriptionOf("Default Form Overlay:")},
    };
    return tmpl;
}

// The cover and footer pages share their layout; only ids, caption and the description
// box's rectangle differ.
DialogTemplate MakeSheetPage(int id, const char* caption, int tray, int deleteButton, int overlay,
                             int description, toolkit::Rect descriptionBounds) {
    return Page(
        id, caption, 440, 198,
        {
            {ControlKind::Label, NoId, "Input Tray:", Style::None, {126, 44, 51, 14}},
            {ControlKind::ComboBox, tray, "", DropDownList, {180, 43, 123, 68}},
            {ControlKind::PushButton, deleteButton, "Delete", Style::None, {107, 115, 209, 14}},
            {ControlKind::Label, NoId, "Form Overlay:", Style::None, {124, 29, 51, 12}},
            {ControlKind::ComboBox, overlay, "", DropDownList, {180, 27, 123, 74}},
            {ControlKind::Edit, description, "", Style::MultiLine | Style::ReadOnly | Style::Border,
             descriptionBounds, DescriptionOf("Form Overlay:")},
        });
}

} // namespace

const toolkit::DialogTemplate& OptionsTemplate() {
    static const DialogTemplate tmpl = MakeOptions();
    return tmpl;
}

const toolkit::DialogTemplate& CoverPageTemplate() {
    static const DialogTemplate tmpl =
        MakeSheetPage(ids::IDD_COVER_PAGE, "Cover Page", ids::IDC_COVER_TRAY, ids::IDC_COVER_DELETE,
                      ids::IDC_COVER_OVERLAY, ids::IDC_COVER_DESCRIPTION, {115, 64, 197, 46});
    return tmpl;
}

const toolkit::DialogTemplate& FooterPageTemplate() {
    static const DialogTemplate tmpl = MakeSheetPage(
        ids::IDD_FOOTER_PAGE, "Footer Page", ids::IDC_FOOTER_TRAY, ids::IDC_FOOTER_DELETE,
        ids::IDC_FOOTER_OVERLAY, ids::IDC_FOOTER_DESCRIPTION, {112, 62, 199, 49});
    return tmpl;
}

const toolkit::DialogTemplate& ChapterPrintingTemplate() {
    static const DialogTemplate tmpl = Page(
        ids::IDD_CHAPTER_PRINTING, "Chapter Printing", 441, 245,
        {
            {ControlKind::GroupBox, NoId, "Settings", Style::None, {7, 7, 427, 231}},
            {ControlKind::ListView, ids::IDC_CHAPTER_LIST, "", ListViewStyle, {9, 19, 216, 194}},
            {ControlKind::PushButton,
             ids::IDC_CHAPTER_DELETE,
             "Delete",
             Style::None,
             {10, 217, 209, 14}},
            {ControlKind::GroupBox, NoId, "Chapter Properties", Style::None, {230, 16, 196, 215}},
            {ControlKind::Label,
             NoId,
             "Last page number for chapter:",
             Style::None,
             {238, 31, 62, 18}},
            {ControlKind::Edit, ids::IDC_CHAPTER_PAGE_NUMBERS, "", LineEdit, {298, 28, 117, 15}},
            {ControlKind::Label, NoId, "Ex: 5,8,12,...", Style::None, {302, 44, 113, 9}},
            {ControlKind::Label, NoId, "What to do:", Style::None, {240, 57, 47, 9}},
            {ControlKind::RadioButton,
             ids::IDC_CHAPTER_SEPARATOR,
             "Insert separation sheet after page",
             Style::None,
             {295, 54, 128, 15}},
            {ControlKind::RadioButton,
             ids::IDC_CHAPTER_MODIFY,
             "Modify this page",
             Style::None,
             {295, 67, 128, 16}},
            {ControlKind::Label, NoId, "Copy count for chapter:", Style::None, {240, 85, 78, 10}},
            {ControlKind::Edit,
             ids::IDC_CHAPTER_COPIES,
             "",
             LineEdit | Style::DigitsOnly,
             {325, 84, 33, 12}},
            {ControlKind::Label,
             NoId,
             "Page separator definition after chapter:",
             Style::None,
             {240, 96, 173, 9}},
            {ControlKind::Label, NoId, "Form Overlay:", Style::None, {240, 108, 51, 12}},
            {ControlKind::ComboBox,
             ids::IDC_CHAPTER_OVERLAY,
             "",
             DropDownList,
             {296, 107, 123, 74}},
            {ControlKind::Label, NoId, "Input Tray:", Style::None, {239, 123, 51, 14}},
            {ControlKind::ComboBox, ids::IDC_CHAPTER_TRAY, "", DropDownList, {295, 122, 123, 68}},
            {ControlKind::Edit,
             ids::IDC_CHAPTER_DESCRIPTION,
             "",
             DescriptionBox,
             {240, 141, 178, 36},
             DescriptionOf("Form Overlay:")},
            {ControlKind::Label, NoId, "Last chapter copy count:", Style::None, {243, 184, 96, 10}},
            {ControlKind::Edit, ids::IDC_REMAINING_COPIES, "", LineEdit, {341, 182, 33, 12}},
            {ControlKind::PushButton,
             ids::IDC_CHAPTER_APPLY,
             "Apply",
             Style::None,
             {234, 198, 188, 14}},
            {ControlKind::CheckBox,
             ids::IDC_SEP_AFTER_COPYSET,
             "Separator page after copyset only",
             Style::None,
             {243, 213, 171, 12}},
        });
    return tmpl;
}

const toolkit::DialogTemplate& DocumentPrintingTemplate() {
    static const DialogTemplate tmpl = Page(
        ids::IDD_DOCUMENT_PRINTING, "Document Printing", 440, 198,
        {
            {ControlKind::GroupBox, NoId, "Settings", Style::None, {7, 0, 426, 191}},
            {ControlKind::ListView, ids::IDC_PAGE_LIST, "", ListViewStyle, {9, 19, 210, 141}},
            {ControlKind::PushButton,
             ids::IDC_PAGE_DELETE,
             "Delete",
             Style::None,
             {10, 161, 209, 14}},
            {ControlKind::GroupBox, NoId, "Page Properties", Style::None, {230, 7, 196, 176}},
            {ControlKind::Label, NoId, "Page Number:", Style::None, {238, 20, 62, 12}},
            {ControlKind::Edit, ids::IDC_PAGE_NUMBERS, "", LineEdit, {298, 17, 117, 15}},
            {ControlKind::Label, NoId, "Ex: 5,8,12,...", Style::None, {302, 34, 113, 9}},
            {ControlKind::Label, NoId, "What to do:", Style::None, {240, 46, 47, 9}},
            {ControlKind::RadioButton,
             ids::IDC_PAGE_SEPARATOR,
             "Insert separation sheet after page",
             Style::None,
             {295, 43, 128, 15}},
            {ControlKind::RadioButton,
             ids::IDC_PAGE_MODIFY,
             "Modify this page",
             Style::None,
             {295, 56, 128, 16}},
            {ControlKind::Label, NoId, "Form Overlay:", Style::None, {240, 80, 51, 12}},
            {ControlKind::ComboBox, ids::IDC_PAGE_OVERLAY, "", DropDownList, {296, 78, 123, 74}},
            {ControlKind::Label, NoId, "Input Tray:", Style::None, {242, 95, 51, 14}},
            {ControlKind::ComboBox, ids::IDC_PAGE_TRAY, "", DropDownList, {296, 94, 123, 68}},
            {ControlKind::Edit,
             ids::IDC_PAGE_DESCRIPTION,
             "",
             DescriptionBox,
             {241, 114, 178, 43},
             DescriptionOf("Form Overlay:")},
            {ControlKind::PushButton,
             ids::IDC_PAGE_APPLY,
             "Apply",
             Style::None,
             {234, 162, 188, 14}},
        });
    return tmpl;
}

} // namespace varnak
