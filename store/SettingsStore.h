#pragma once

#include "core/JobSettings.h"
#include "platform/registry/Registry.h"

namespace varnak {

// Carries the user's last choices from one job to the next under
// HKEY_LOCAL_MACHINE\SOFTWARE\quet\sorb-userinterface. Reports nothing: a value that can't
// be read leaves its field as it was, a key that can't be written leaves the registry alone.
class SettingsStore {
public:
    explicit SettingsStore(platform::Registry& registry) : registry_(registry) {}

    // Fills a freshly built record; sets LoadedFromRegistry when the key could be opened.
    void Load(JobSettings& settings);
    // Writes the record back, after the dialog ended with OK.
    void Save(const JobSettings& settings);

private:
    platform::Registry& registry_;
};

} // namespace varnak
