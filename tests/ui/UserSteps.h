#pragma once

// What a user does in the dialog, step by step, for the tests of every real backend.
#include "platform/toolkit/Driver.h"
#include "tests/support/WorkedExamples.h"
#include "ui/ControlIds.h"

#include <vector>

namespace varnak::test {

// The enabled controls that take the focus as the user sees them, in template order: the
// dialog's, then the page's.
inline std::vector<int> TabStops(const toolkit::Driver& user) {
    std::vector<int> stops;
    for (const auto& control : user.Controls()) {
        if (control.Enabled && control.Kind != toolkit::ControlKind::Label &&
            control.Kind != toolkit::ControlKind::GroupBox) {
            stops.push_back(control.Id);
        }
    }
    return stops;
}

// The first worked example entered on Document Printing, up to OK; the first step refused.
inline toolkit::ActionResult EnterDocumentExample(toolkit::Driver& user) {
    using namespace ids;
    if (auto done = user.SelectTab(3); !done) {
        return done;
    }
    for (const auto& entry : DocumentExampleInputs) {
        for (auto done :
             {user.Type(IDC_PAGE_NUMBERS, entry.page), user.Pick(IDC_PAGE_OVERLAY, entry.overlay),
              user.Pick(IDC_PAGE_TRAY, entry.tray), user.Click(IDC_PAGE_APPLY)}) {
            if (!done) {
                return done;
            }
        }
    }
    return user.Type(IDC_COPIES, "2");
}

// The second worked example's general settings, cover and footer; the first step refused.
inline toolkit::ActionResult EnterDefaultsCoverAndFooter(toolkit::Driver& user) {
    using namespace ids;
    for (auto done :
         {user.Pick(IDC_DEFAULT_TRAY, "Bond"), user.Pick(IDC_DEFAULT_OVERLAY, "40"),
          user.SelectTab(1), user.Pick(IDC_COVER_OVERLAY, "7"), user.Pick(IDC_COVER_TRAY, "Plain"),
          user.SelectTab(2), user.Pick(IDC_FOOTER_OVERLAY, "9")}) {
        if (!done) {
            return done;
        }
    }
    return toolkit::ActionResult::Ok();
}

} // namespace varnak::test
