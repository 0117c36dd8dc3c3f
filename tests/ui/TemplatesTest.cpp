#include "ui/Templates.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace varnak {
namespace {

using namespace ids;
using toolkit::DialogTemplate;
using toolkit::NoId;

struct TemplateCase {
    const char* name;
    const DialogTemplate& (*get)();
    int id;
    const char* caption;
    int width;
    int height;
    std::vector<int> tabOrder; // the controls with an id
};

const TemplateCase Cases[] = {
    {"Options",
     &OptionsTemplate,
     IDD_OPTIONS,
     "ZOR Brevant",
     492,
     432,
     {IDC_SIMPLEX, IDC_DUPLEX, IDC_AS_DATASTREAM, IDC_DEFAULT_TRAY, IDC_COPIES, IDC_DEFAULT_OVERLAY,
      IDC_STAPLING, IDC_OK, IDC_CANCEL, IDC_MANUAL_LINK, IDC_OVERLAY_DESCRIPTION}},
    {"Cover",
     &CoverPageTemplate,
     IDD_COVER_PAGE,
     "Cover Page",
     440,
     198,
     {IDC_COVER_TRAY, IDC_COVER_DELETE, IDC_COVER_OVERLAY, IDC_COVER_DESCRIPTION}},
    {"Footer",
     &FooterPageTemplate,
     IDD_FOOTER_PAGE,
     "Footer Page",
     440,
     198,
     {IDC_FOOTER_TRAY, IDC_FOOTER_DELETE, IDC_FOOTER_OVERLAY, IDC_FOOTER_DESCRIPTION}},
    {"Chapter",
     &ChapterPrintingTemplate,
     IDD_CHAPTER_PRINTING,
     "Chapter Printing",
     441,
     245,
     {IDC_CHAPTER_LIST, IDC_CHAPTER_DELETE, IDC_CHAPTER_PAGE_NUMBERS, IDC_CHAPTER_SEPARATOR,
      IDC_CHAPTER_MODIFY, IDC_CHAPTER_COPIES, IDC_CHAPTER_OVERLAY, IDC_CHAPTER_TRAY,
      IDC_CHAPTER_DESCRIPTION, IDC_REMAINING_COPIES, IDC_CHAPTER_APPLY, IDC_SEP_AFTER_COPYSET}},
    {"Document",
     &DocumentPrintingTemplate,
     IDD_DOCUMENT_PRINTING,
     "Document Printing",
     440,
     198,
     {IDC_PAGE_LIST, IDC_PAGE_DELETE, IDC_PAGE_NUMBERS, IDC_PAGE_SEPARATOR, IDC_PAGE_MODIFY,
      IDC_PAGE_OVERLAY, IDC_PAGE_TRAY, IDC_PAGE_DESCRIPTION, IDC_PAGE_APPLY}},
};

TEST(TemplatesTest, TemplatesHaveTheirIdsCaptionsSizesAndTabOrder) {
    for (const auto& c : Cases) {
        const DialogTemplate& tmpl = c.get();
        EXPECT_EQ(tmpl.Id, c.id) << "case: " << c.name;
        EXPECT_EQ(tmpl.Caption, c.caption) << "case: " << c.name;
        EXPECT_EQ(tmpl.Width, c.width) << "case: " << c.name;
        EXPECT_EQ(tmpl.Height, c.height) << "case: " << c.name;
        EXPECT_EQ(tmpl.FontName, "MS Shell Dlg") << "case: " << c.name;
        std::vector<int> ids;
        std::set<int> unique;
        for (const auto& control : tmpl.Controls) {
            if (control.Id != NoId) {
                ids.push_back(control.Id);
                unique.insert(control.Id);
            }
        }
        EXPECT_EQ(ids, c.tabOrder) << "case: " << c.name;
        EXPECT_EQ(unique.size(), ids.size()) << "case: " << c.name;
    }
}

TEST(TemplatesTest, CopiesFieldTakesOnlyTypedDigits) {
    const auto* copies = OptionsTemplate().Find(IDC_COPIES);
    ASSERT_NE(copies, nullptr);
    EXPECT_NE(copies->Styles & toolkit::Style::DigitsOnly, 0u);
    for (int id : {IDC_OVERLAY_DESCRIPTION}) {
        EXPECT_NE(OptionsTemplate().Find(id)->Styles & toolkit::Style::ReadOnly, 0u);
    }
}

TEST(TemplatesTest, ChapterCopyCountTakesOnlyTypedDigitsAndTheOtherEditsAnything) {
    const auto& chapter = ChapterPrintingTemplate();
    EXPECT_NE(chapter.Find(IDC_CHAPTER_COPIES)->Styles & toolkit::Style::DigitsOnly, 0u);
    for (int id : {IDC_CHAPTER_PAGE_NUMBERS, IDC_REMAINING_COPIES}) {
        EXPECT_EQ(chapter.Find(id)->Styles & toolkit::Style::DigitsOnly, 0u) << id;
    }
    EXPECT_EQ(
        DocumentPrintingTemplate().Find(IDC_PAGE_NUMBERS)->Styles & toolkit::Style::DigitsOnly, 0u);
    EXPECT_NE(chapter.Find(IDC_CHAPTER_DESCRIPTION)->Styles & toolkit::Style::ReadOnly, 0u);
    EXPECT_NE(DocumentPrintingTemplate().Find(IDC_PAGE_DESCRIPTION)->Styles &
                  toolkit::Style::ReadOnly,
              0u);
}

// The label assistive technology reads for each input control; every input control of
// every template is listed, so a new one without a label fails here.
TEST(TemplatesTest, EachInputControlIsNamedByItsLabel) {
    const std::map<int, std::string> expected{
        {IDC_DEFAULT_TRAY, "Default Input Tray:"},
        {IDC_COPIES, "Number of copies:"},
        {IDC_DEFAULT_OVERLAY, "Default Form Overlay:"},
        {IDC_STAPLING, "Stapling:"},
        {IDC_COVER_TRAY, "Input Tray:"},
        {IDC_COVER_OVERLAY, "Form Overlay:"},
        {IDC_FOOTER_TRAY, "Input Tray:"},
        {IDC_FOOTER_OVERLAY, "Form Overlay:"},
        {IDC_CHAPTER_LIST, "Settings"},
        {IDC_CHAPTER_PAGE_NUMBERS, "Last page number for chapter:"},
        {IDC_CHAPTER_COPIES, "Copy count for chapter:"},
        {IDC_CHAPTER_OVERLAY, "Form Overlay:"},
        {IDC_CHAPTER_TRAY, "Input Tray:"},
        {IDC_REMAINING_COPIES, "Last chapter copy count:"},
        {IDC_PAGE_LIST, "Settings"},
        {IDC_PAGE_NUMBERS, "Page Number:"},
        {IDC_PAGE_OVERLAY, "Form Overlay:"},
        {IDC_PAGE_TRAY, "Input Tray:"},
    };
    std::map<int, std::string> named;
    for (const auto& c : Cases) {
        const DialogTemplate& tmpl = c.get();
        for (std::size_t index = 0; index < tmpl.Controls.size(); ++index) {
            if (const auto* label = toolkit::LabelOf(tmpl, index)) {
                named[tmpl.Controls[index].Id] = label->Text;
            }
        }
    }
    EXPECT_EQ(named, expected);
}

} // namespace
} // namespace varnak
