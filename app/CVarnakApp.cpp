#include "app/CVarnakApp.h"

#include "core/JobSettings.h"
#include "store/SettingsStore.h"
#include "ui/COptionsDlg.h"

namespace varnak {

bool CVarnakApp::InitInstance() {
    if (commandLine_.Text.empty()) {
        // Only a warning: without "-R" OK still closes the dialog and saves the settings.
        backend_.ShowMessage(nullptr, "missing options on the command line", "Error",
                             toolkit::MessageIcon::Warning);
    }
    JobSettings settings;
    SettingsStore store(registry_);
    store.Load(settings);
    {
        COptionsDlg dialog(backend_, registry_, &settings, commandLine_.Ticket);
        dialogResult_ = dialog.DoModal();
        if (dialogResult_ == toolkit::IdOk) {
            store.Save(settings);
        }
    }
    settings.Clear();
    return false;
}

} // namespace varnak
