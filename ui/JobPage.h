#pragma once

#include "platform/toolkit/Dialog.h"

namespace varnak {

// What the property sheet asks of each of its pages. A page without a window yet only
// records enable and disable requests, stores nothing and answers IsEmpty from the record.
class JobPage : public toolkit::PropertyPage {
public:
    using toolkit::PropertyPage::PropertyPage;

    virtual void DisableControls() = 0;
    virtual void EnableControls() = 0;
    // Copies the page's controls into the record.
    virtual void StoreSettings() = 0;
    // True when the page holds nothing that would reach the ticket.
    virtual bool IsEmpty() const = 0;
};

} // namespace varnak
