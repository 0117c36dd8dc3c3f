#include "store/SettingsStore.h"

#include <array>
#include <cstring>

namespace varnak {
namespace {

using platform::RegistryKey;

constexpr const char* SettingsKey = "SOFTWARE\\quet\\sorb-userinterface";
constexpr std::uint32_t DwordSize = 4;
// A stored text of at most 255 characters plus its NUL.
constexpr std::uint32_t TextBufferSize = 256;

// Rows the conditional writes keep out of the registry.
constexpr std::uint32_t PageCount = 4;
constexpr std::uint32_t SmallestChapterCopyCount = 2;

// Takes a REG_DWORD value's 32 bits; leaves target alone when the value can't be taken.
template <typename Field> void ReadDword(RegistryKey& key, const char* name, Field& target) {
    std::array<std::uint8_t, DwordSize> buffer{};
    std::uint32_t type = 0;
    std::uint32_t size = DwordSize;
    if (key.QueryValue(name, &type, buffer.data(), &size) != platform::RegSuccess ||
        type != platform::RegDword || size != DwordSize) {
        return;
    }
    std::uint32_t bits = 0;
    for (int i = DwordSize - 1; i >= 0; --i) {
        bits = bits << 8 | buffer[static_cast<std::size_t>(i)];
    }
    target = static_cast<Field>(bits);
}

void ReadText(RegistryKey& key, const char* name, std::string& target) {
    std::array<std::uint8_t, TextBufferSize> buffer{};
    std::uint32_t type = 0;
    std::uint32_t size = TextBufferSize;
    if (key.QueryValue(name, &type, buffer.data(), &size) != platform::RegSuccess) {
        return;
    }
    if (type != platform::RegSz && type != platform::RegExpandSz) {
        return;
    }
    if (size == 0) {
        target.clear();
        return;
    }
    if (buffer[size - 1] != 0) {
        return;
    }
    target = platform::TextFromRegistry(reinterpret_cast<const char*>(buffer.data()));
}

void WriteDword(RegistryKey& key, const char* name, std::uint32_t bits) {
    std::array<std::uint8_t, DwordSize> buffer{};
    for (std::size_t i = 0; i < DwordSize; ++i) {
        buffer[i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
    key.SetValue(name, platform::RegDword, buffer.data(), DwordSize);
}

void WriteText(RegistryKey& key, const char* name, const std::string& text) {
    const std::string stored = platform::TextForRegistry(text);
    key.SetValue(name, platform::RegSz, reinterpret_cast<const std::uint8_t*>(stored.c_str()),
                 static_cast<std::uint32_t>(stored.size() + 1));
}

// Reads a field through its getter and setter, for fields whose setters are the only way in.
template <typename Get, typename Set>
void ReadDwordField(RegistryKey& key, const char* name, JobSettings& settings, Get get, Set set) {
    auto value = (settings.*get)();
    ReadDword(key, name, value);
    (settings.*set)(value);
}

template <typename Get, typename Set>
void ReadTextField(RegistryKey& key, const char* name, JobSettings& settings, Get get, Set set) {
    std::string value = (settings.*get)();
    ReadText(key, name, value);
    (settings.*set)(std::move(value));
}

} // namespace

void SettingsStore::Load(JobSettings& settings) {
    std::unique_ptr<RegistryKey> key;
    if (registry_.OpenKey(SettingsKey, platform::KeyReadWriteAccess, key) !=
        platform::RegSuccess) {
        return;
    }
    RegistryKey& k = *key;
    ReadDwordField(k, "NumberOfCopies", settings, &JobSettings::NumberOfCopies,
                   &JobSettings::SetNumberOfCopies);
    ReadDwordField(k, "DefaultInputTray", settings, &JobSettings::DefaultInputTray,
                   &JobSettings::SetDefaultInputTray);
    ReadDwordField(k, "DefaultFormOverlay", settings, &JobSettings::DefaultFormOverlay,
                   &JobSettings::SetDefaultFormOverlay);
    ReadTextField(k, "LastPageNumbers", settings, &JobSettings::LastPageNumbers,
                  &JobSettings::SetLastPageNumbers);
    ReadDwordField(k, "LastInputTray", settings, &JobSettings::LastInputTray,
                   &JobSettings::SetLastInputTray);
    ReadDwordField(k, "LastFormOverlay", settings, &JobSettings::LastFormOverlay,
                   &JobSettings::SetLastFormOverlay);
    ReadDwordField(k, "CoverPageInputTray", settings, &JobSettings::CoverPageInputTray,
                   &JobSettings::SetCoverPageInputTray);
    ReadDwordField(k, "CoverPageFormOverlay", settings, &JobSettings::CoverPageFormOverlay,
                   &JobSettings::SetCoverPageFormOverlay);
    ReadDwordField(k, "FooterPageInputTray", settings, &JobSettings::FooterPageInputTray,
                   &JobSettings::SetFooterPageInputTray);
    ReadDwordField(k, "FooterPageFormOverlay", settings, &JobSettings::FooterPageFormOverlay,
                   &JobSettings::SetFooterPageFormOverlay);
    ReadDwordField(k, "LastTab", settings, &JobSettings::LastTab, &JobSettings::SetLastTab);
    ReadTextField(k, "LastChapterPageNumbers", settings, &JobSettings::LastChapterPageNumbers,
                  &JobSettings::SetLastChapterPageNumbers);
    ReadDwordField(k, "LastChapterCopyCount", settings, &JobSettings::LastChapterCopyCount,
                   &JobSettings::SetLastChapterCopyCount);
    ReadDwordField(k, "LastChapterFormOverlay", settings, &JobSettings::LastChapterFormOverlay,
                   &JobSettings::SetLastChapterFormOverlay);
    ReadDwordField(k, "LastChapterInputTray", settings, &JobSettings::LastChapterInputTray,
                   &JobSettings::SetLastChapterInputTray);
    ReadDwordField(k, "LastRemainingChapterCopyCount", settings,
                   &JobSettings::LastRemainingChapterCopyCount,
                   &JobSettings::SetLastRemainingChapterCopyCount);
    std::uint32_t separatorAfterCopySet = settings.SepPageAfterCopySetOnly() ? 1 : 0;
    ReadDword(k, "SepPageAfterCopySetOnly", separatorAfterCopySet);
    settings.SetSepPageAfterCopySetOnly(separatorAfterCopySet > 0);
    settings.SetLoadedFromRegistry(true);
}

void SettingsStore::Save(const JobSettings& settings) {
    std::unique_ptr<RegistryKey> key;
    if (registry_.OpenKey(SettingsKey, platform::KeyReadWriteAccess, key) !=
            platform::RegSuccess &&
        registry_.CreateKey(SettingsKey, platform::KeyReadWriteAccess, key) !=
            platform::RegSuccess) {
        return;
    }
    RegistryKey& k = *key;
    WriteDword(k, "NumberOfCopies", settings.NumberOfCopies());
    WriteDword(k, "DefaultInputTray", static_cast<std::uint32_t>(settings.DefaultInputTray()));
    WriteDword(k, "DefaultFormOverlay", settings.DefaultFormOverlay());
    WriteText(k, "LastPageNumbers", settings.LastPageNumbers());
    WriteDword(k, "LastFormOverlay", static_cast<std::uint32_t>(settings.LastFormOverlay()));
    WriteDword(k, "LastInputTray", static_cast<std::uint32_t>(settings.LastInputTray()));
    WriteDword(k, "CoverPageInputTray", static_cast<std::uint32_t>(settings.CoverPageInputTray()));
    WriteDword(k, "CoverPageFormOverlay", settings.CoverPageFormOverlay());
    WriteDword(k, "FooterPageInputTray",
               static_cast<std::uint32_t>(settings.FooterPageInputTray()));
    WriteDword(k, "FooterPageFormOverlay", settings.FooterPageFormOverlay());
    if (settings.LastTab() < PageCount) {
        WriteDword(k, "LastTab", settings.LastTab());
    }
    WriteText(k, "LastChapterPageNumbers", settings.LastChapterPageNumbers());
    if (settings.LastChapterCopyCount() >= SmallestChapterCopyCount) {
        WriteDword(k, "LastChapterCopyCount", settings.LastChapterCopyCount());
    }
    WriteDword(k, "LastChapterFormOverlay",
               static_cast<std::uint32_t>(settings.LastChapterFormOverlay()));
    WriteDword(k, "LastChapterInputTray",
               static_cast<std::uint32_t>(settings.LastChapterInputTray()));
    WriteDword(k, "LastRemainingChapterCopyCount", settings.LastRemainingChapterCopyCount());
    WriteDword(k, "SepPageAfterCopySetOnly", settings.SepPageAfterCopySetOnly() ? 1 : 0);
}

} // namespace varnak
