#include "ui/Templates.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

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
    std::vector<int> tabOrder; // the controls with an id
};

const TemplateCase Cases[] = {
    {"Options",
     &OptionsTemplate,
     {IDC_SIMPLEX, IDC_DUPLEX, IDC_AS_DATASTREAM, IDC_DEFAULT_TRAY, IDC_COPIES, IDC_DEFAULT_OVERLAY,
      IDC_STAPLING, IDC_OK, IDC_CANCEL, IDC_MANUAL_LINK, IDC_OVERLAY_DESCRIPTION}},
    {"Cover",
     &CoverPageTemplate,
     {IDC_COVER_TRAY, IDC_COVER_DELETE, IDC_COVER_OVERLAY, IDC_COVER_DESCRIPTION}},
    {"Footer",
     &FooterPageTemplate,
     {IDC_FOOTER_TRAY, IDC_FOOTER_DELETE, IDC_FOOTER_OVERLAY, IDC_FOOTER_DESCRIPTION}},
    {"Chapter",
     &ChapterPrintingTemplate,
     {IDC_CHAPTER_LIST, IDC_CHAPTER_DELETE, IDC_CHAPTER_PAGE_NUMBERS, IDC_CHAPTER_SEPARATOR,
      IDC_CHAPTER_MODIFY, IDC_CHAPTER_COPIES, IDC_CHAPTER_OVERLAY, IDC_CHAPTER_TRAY,
      IDC_CHAPTER_DESCRIPTION, IDC_REMAINING_COPIES, IDC_CHAPTER_APPLY, IDC_SEP_AFTER_COPYSET}},
    {"Document",
     &DocumentPrintingTemplate,
     {IDC_PAGE_LIST, IDC_PAGE_DELETE, IDC_PAGE_NUMBERS, IDC_PAGE_SEPARATOR, IDC_PAGE_MODIFY,
      IDC_PAGE_OVERLAY, IDC_PAGE_TRAY, IDC_PAGE_DESCRIPTION, IDC_PAGE_APPLY}},
};

// The tab order is the order of the template's controls; each id is there once.
TEST(TemplatesTest, ControlsAreInTheirTabOrderEachIdOnce) {
    for (const auto& c : Cases) {
        std::vector<int> ids;
        std::set<int> unique;
        for (const auto& control : c.get().Controls) {
            if (control.Id != NoId) {
                ids.push_back(control.Id);
                unique.insert(control.Id);
            }
        }
        EXPECT_EQ(ids, c.tabOrder) << "case: " << c.name;
        EXPECT_EQ(unique.size(), ids.size()) << "case: " << c.name;
    }
}

// The counts take only digits; the page lists and the remaining count take anything, which
// their handlers read; what describes an overlay can't be edited.
TEST(TemplatesTest, DigitsOnlyWhereTheDesignSaysAndDescriptionsReadOnly) {
    const auto styles = [](const DialogTemplate& tmpl, int id) {
        const auto* control = tmpl.Find(id);
        return control != nullptr ? control->Styles : ~0u;
    };
    using toolkit::Style::DigitsOnly;
    using toolkit::Style::ReadOnly;
    EXPECT_NE(styles(OptionsTemplate(), IDC_COPIES) & DigitsOnly, 0u);
    EXPECT_NE(styles(ChapterPrintingTemplate(), IDC_CHAPTER_COPIES) & DigitsOnly, 0u);
    for (const int id : {IDC_CHAPTER_PAGE_NUMBERS, IDC_REMAINING_COPIES}) {
        EXPECT_EQ(styles(ChapterPrintingTemplate(), id) & DigitsOnly, 0u) << id;
    }
    EXPECT_EQ(styles(DocumentPrintingTemplate(), IDC_PAGE_NUMBERS) & DigitsOnly, 0u);
    for (const auto& c : Cases) {
        for (const auto& control : c.get().Controls) {
            if (control.Kind == toolkit::ControlKind::Edit &&
                (control.Styles & toolkit::Style::MultiLine) != 0) {
                EXPECT_NE(control.Styles & ReadOnly, 0u) << "case: " << c.name << " " << control.Id;
            }
        }
    }
}

// What assistive technology reads for each input control: a label, or a name of its own
// (the description boxes). A new input control without either fails here.
TEST(TemplatesTest, EveryInputControlHasAName) {
    for (const auto& c : Cases) {
        const DialogTemplate& tmpl = c.get();
        for (std::size_t index = 0; index < tmpl.Controls.size(); ++index) {
            const auto& control = tmpl.Controls[index];
            const bool input = control.Kind == toolkit::ControlKind::Edit ||
                               control.Kind == toolkit::ControlKind::ComboBox ||
                               control.Kind == toolkit::ControlKind::ListView;
            if (input) {
                EXPECT_TRUE(toolkit::LabelOf(tmpl, index) != nullptr ||
                            !control.AccessibleName.empty())
                    << "case: " << c.name << " " << control.Id;
            }
        }
    }
}

} // namespace
} // namespace varnak
