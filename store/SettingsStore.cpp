#include "store/SettingsStore.h"

#include <array>
#include <numeric>
#include <string_view>
#include <utility>

namespace varnak {
namespace {

using platform::RegistryKey;

constexpr const char* SettingsKey = "SOFTWARE\\quet\\sorb-userinterface";
constexpr std::uint32_t DwordSize = 4;
// A stored text of at most 255 characters plus its NUL.
constexpr std::uint32_t TextBufferSize = 256;

// The smallest chapter copy count Save writes; below it the stored one stays.
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

// One stored value: its name, how it is taken into its field and written from it, and when
// Save writes it (null: always).
struct StoredValue {
    const char* Name;
    void (*Load)(RegistryKey&, const char*, JobSettings&);
    void (*Save)(RegistryKey&, const char*, const JobSettings&);
    bool (*WrittenWhen)(const JobSettings&) = nullptr;
};

// A field reached through its getter and setter, for fields whose setters are the only way
// in: a 32-bit number, a text, or a flag (any nonzero number is true, saved as 1).
template <auto Get, auto Set> void LoadNumber(RegistryKey& key, const char* name, JobSettings& s) {
    auto value = (s.*Get)();
    ReadDword(key, name, value);
    (s.*Set)(value);
}
template <auto Get> void SaveNumber(RegistryKey& key, const char* name, const JobSettings& s) {
    WriteDword(key, name, static_cast<std::uint32_t>((s.*Get)()));
}
template <auto Get, auto Set> void LoadText(RegistryKey& key, const char* name, JobSettings& s) {
    std::string value = (s.*Get)();
    ReadText(key, name, value);
    (s.*Set)(std::move(value));
}
template <auto Get> void SaveText(RegistryKey& key, const char* name, const JobSettings& s) {
    WriteText(key, name, (s.*Get)());
}
template <auto Get, auto Set> void LoadFlag(RegistryKey& key, const char* name, JobSettings& s) {
    std::uint32_t value = (s.*Get)() ? 1 : 0;
    ReadDword(key, name, value);
    (s.*Set)(value > 0);
}
template <auto Get> void SaveFlag(RegistryKey& key, const char* name, const JobSettings& s) {
    WriteDword(key, name, (s.*Get)() ? 1 : 0);
}

template <auto Get, auto Set>
constexpr StoredValue Number(const char* name, bool (*writtenWhen)(const JobSettings&) = nullptr) {
    return {name, &LoadNumber<Get, Set>, &SaveNumber<Get>, writtenWhen};
}
template <auto Get, auto Set> constexpr StoredValue Text(const char* name) {
    return {name, &LoadText<Get, Set>, &SaveText<Get>};
}
template <auto Get, auto Set> constexpr StoredValue Flag(const char* name) {
    return {name, &LoadFlag<Get, Set>, &SaveFlag<Get>};
}

using S = JobSettings;

// The seventeen values, in the order Load reads them.
constexpr std::array StoredValues{
    Number<&S::NumberOfCopies, &S::SetNumberOfCopies>("NumberOfCopies"),
    Number<&S::DefaultInputTray, &S::SetDefaultInputTray>("DefaultInputTray"),
    Number<&S::DefaultFormOverlay, &S::SetDefaultFormOverlay>("DefaultFormOverlay"),
    Text<&S::LastPageNumbers, &S::SetLastPageNumbers>("LastPageNumbers"),
    Number<&S::LastInputTray, &S::SetLastInputTray>("LastInputTray"),
    Number<&S::LastFormOverlay, &S::SetLastFormOverlay>("LastFormOverlay"),
    Number<&S::CoverPageInputTray, &S::SetCoverPageInputTray>("CoverPageInputTray"),
    Number<&S::CoverPageFormOverlay, &S::SetCoverPageFormOverlay>("CoverPageFormOverlay"),
    Number<&S::FooterPageInputTray, &S::SetFooterPageInputTray>("FooterPageInputTray"),
    Number<&S::FooterPageFormOverlay, &S::SetFooterPageFormOverlay>("FooterPageFormOverlay"),
    // Only a page's index: another stored value stays for the next job.
    Number<&S::LastTab, &S::SetLastTab>("LastTab",
                                        [](const S& s) { return s.LastTab() < PageCount; }),
    Text<&S::LastChapterPageNumbers, &S::SetLastChapterPageNumbers>("LastChapterPageNumbers"),
    Number<&S::LastChapterCopyCount, &S::SetLastChapterCopyCount>(
        "LastChapterCopyCount",
        [](const S& s) { return s.LastChapterCopyCount() >= SmallestChapterCopyCount; }),
    Number<&S::LastChapterFormOverlay, &S::SetLastChapterFormOverlay>("LastChapterFormOverlay"),
    Number<&S::LastChapterInputTray, &S::SetLastChapterInputTray>("LastChapterInputTray"),
    Number<&S::LastRemainingChapterCopyCount, &S::SetLastRemainingChapterCopyCount>(
        "LastRemainingChapterCopyCount"),
    Flag<&S::SepPageAfterCopySetOnly, &S::SetSepPageAfterCopySetOnly>("SepPageAfterCopySetOnly"),
};

constexpr std::size_t Position(std::string_view name) {
    std::size_t at = 0;
    while (StoredValues[at].Name != name) {
        ++at;
    }
    return at;
}

constexpr std::size_t StoredCount = StoredValues.size();

// The order Save writes them in: the load order, but for LastFormOverlay, which comes before
// LastInputTray.
std::array<std::size_t, StoredCount> SaveOrder() {
    std::array<std::size_t, StoredCount> order{};
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::swap(order[Position("LastInputTray")], order[Position("LastFormOverlay")]);
    return order;
}

} // namespace

void SettingsStore::Load(JobSettings& settings) {
    std::unique_ptr<RegistryKey> key;
    if (registry_.OpenKey(SettingsKey, platform::KeyReadWriteAccess, key) != platform::RegSuccess) {
        return;
    }
    for (const StoredValue& value : StoredValues) {
        value.Load(*key, value.Name, settings);
    }
    settings.SetLoadedFromRegistry(true);
}

void SettingsStore::Save(const JobSettings& settings) {
    std::unique_ptr<RegistryKey> key;
    if (registry_.OpenKey(SettingsKey, platform::KeyReadWriteAccess, key) != platform::RegSuccess &&
        registry_.CreateKey(SettingsKey, platform::KeyReadWriteAccess, key) !=
            platform::RegSuccess) {
        return;
    }
    for (const std::size_t at : SaveOrder()) {
        const StoredValue& value = StoredValues[at];
        if (value.WrittenWhen == nullptr || value.WrittenWhen(settings)) {
            value.Save(*key, value.Name, settings);
        }
    }
}

} // namespace varnak
