#include "tests/support/CaseName.h"
#include "tests/ui/DialogFixture.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

namespace varnak {
namespace {

using namespace ids;
using test::Shown;
using toolkit::Driver;

// The cover page and the footer page are one class in two configurations; every case runs
// on both.
struct PageCase {
    const char* name;
    int tab;
    int overlay;
    int tray;
    int description;
    int deleteButton;
    std::uint32_t (JobSettings::*Overlay)() const;
    void (JobSettings::*SetOverlay)(std::uint32_t);
    std::int32_t (JobSettings::*Tray)() const;
    void (JobSettings::*SetTray)(std::int32_t);
};

const PageCase Cover{"Cover",
                     1,
                     IDC_COVER_OVERLAY,
                     IDC_COVER_TRAY,
                     IDC_COVER_DESCRIPTION,
                     IDC_COVER_DELETE,
                     &JobSettings::CoverPageFormOverlay,
                     &JobSettings::SetCoverPageFormOverlay,
                     &JobSettings::CoverPageInputTray,
                     &JobSettings::SetCoverPageInputTray};
const PageCase Footer{"Footer",
                      2,
                      IDC_FOOTER_OVERLAY,
                      IDC_FOOTER_TRAY,
                      IDC_FOOTER_DESCRIPTION,
                      IDC_FOOTER_DELETE,
                      &JobSettings::FooterPageFormOverlay,
                      &JobSettings::SetFooterPageFormOverlay,
                      &JobSettings::FooterPageInputTray,
                      &JobSettings::SetFooterPageInputTray};

class CoverFooterPageTest : public ::testing::TestWithParam<PageCase>, public test::DialogFixture {
protected:
    void SetUp() override {
        InstallOverlays({{"3.mac", ""}, {"12.mac", ""}, {"12.mat", test::Utf16("Logo")}});
    }
    const PageCase& P() const { return GetParam(); }

    // Loaded values for this page; the sheet opens on Document Printing.
    void Loaded(std::uint32_t overlay, std::int32_t tray) {
        settings.SetLoadedFromRegistry(true);
        settings.SetLastTab(3);
        (settings.*P().SetOverlay)(overlay);
        (settings.*P().SetTray)(tray);
    }
    std::uint32_t StoredOverlay() const { return (settings.*P().Overlay)(); }
    std::int32_t StoredTray() const { return (settings.*P().Tray)(); }

    // Opens the page, checks it, and presses OK.
    void ShowAndConfirm(const std::function<void(Driver&)>& check) {
        const int result = RunDialog([&](Driver& user) {
            ASSERT_TRUE(user.SelectTab(P().tab));
            check(user);
            ASSERT_TRUE(user.Click(IDC_OK));
        });
        EXPECT_EQ(result, toolkit::IdOk);
    }
};

TEST_P(CoverFooterPageTest, StoredOverlayAndTrayAreShown) {
    Loaded(12, 3);
    ShowAndConfirm([&](Driver& user) {
        EXPECT_EQ(Shown(user, P().overlay).Text, "12");
        EXPECT_EQ(Shown(user, P().description).Text, "Logo");
        const auto tray = Shown(user, P().tray);
        EXPECT_EQ(tray.Text, "Color");
        EXPECT_TRUE(tray.Enabled);
        EXPECT_TRUE(Shown(user, P().deleteButton).Enabled);
        EXPECT_TRUE(Shown(user, IDC_OK).Enabled);
    });
    EXPECT_EQ(StoredOverlay(), 12u);
    EXPECT_EQ(StoredTray(), 3);
    EXPECT_EQ(settings.LastTab(), static_cast<std::uint32_t>(P().tab));
}

TEST_P(CoverFooterPageTest, UnlistedStoredOverlayOpensAtNoneAndStoresZero) {
    Loaded(7, 3);
    ShowAndConfirm([&](Driver& user) {
        EXPECT_EQ(Shown(user, P().overlay).Text, "None");
        EXPECT_EQ(Shown(user, P().description).Text, "");
        const auto tray = Shown(user, P().tray);
        EXPECT_EQ(tray.Text, "None");
        EXPECT_FALSE(tray.Enabled);
        EXPECT_TRUE(Shown(user, P().deleteButton).Enabled);
    });
    EXPECT_EQ(StoredOverlay(), 0u);
    EXPECT_EQ(StoredTray(), 0);
}

TEST_P(CoverFooterPageTest, StoredTrayWithoutOverlayOpensAtNoneAndStoresZero) {
    Loaded(0, 5);
    ShowAndConfirm([&](Driver& user) {
        const auto tray = Shown(user, P().tray);
        EXPECT_EQ(tray.Text, "None");
        EXPECT_FALSE(tray.Enabled);
        EXPECT_TRUE(Shown(user, P().deleteButton).Enabled);
    });
    EXPECT_EQ(StoredTray(), 0);
}

TEST_P(CoverFooterPageTest, StoredTrayOutsideTheListLeavesNoSelection) {
    Loaded(12, 12);
    ShowAndConfirm([&](Driver& user) {
        const auto tray = Shown(user, P().tray);
        EXPECT_EQ(tray.Selection, -1);
        EXPECT_TRUE(tray.Enabled);
    });
    EXPECT_EQ(StoredTray(), 0);
}

TEST_P(CoverFooterPageTest, NotLoadedStartsAtNoneWhateverTheRecordHolds) {
    (settings.*P().SetOverlay)(12);
    (settings.*P().SetTray)(3);
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(P().tab));
        EXPECT_EQ(Shown(user, P().overlay).Text, "None");
        EXPECT_EQ(Shown(user, P().tray).Text, "None");
        EXPECT_FALSE(Shown(user, P().deleteButton).Enabled);
    });
}

TEST_P(CoverFooterPageTest, ChoosingOverlayThenNoneResetsTheTray) {
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(P().tab));
        EXPECT_FALSE(user.Pick(P().tray, "Color")) << "the tray waits for an overlay";
        ASSERT_TRUE(user.Pick(P().overlay, "12"));
        EXPECT_TRUE(Shown(user, IDC_OK).Enabled);
        ASSERT_TRUE(user.Pick(P().tray, "Color"));
        ASSERT_TRUE(user.Pick(P().overlay, "None"));
        const auto tray = Shown(user, P().tray);
        EXPECT_EQ(tray.Text, "None");
        EXPECT_FALSE(tray.Enabled);
        EXPECT_EQ(Shown(user, P().description).Text, "");
        EXPECT_TRUE(Shown(user, P().deleteButton).Enabled);
        EXPECT_TRUE(Shown(user, IDC_OK).Enabled) << "choosing None again leaves OK as it is";
    });
}

TEST_P(CoverFooterPageTest, DeleteClearsBothFieldsAtOnceAndCancelSavesNothing) {
    Loaded(12, 3);
    const int result = RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(P().tab));
        ASSERT_TRUE(user.Click(P().deleteButton));
        EXPECT_EQ(StoredOverlay(), 0u);
        EXPECT_EQ(StoredTray(), 0);
        EXPECT_EQ(Shown(user, P().overlay).Text, "None");
        EXPECT_EQ(Shown(user, P().description).Text, "");
        EXPECT_FALSE(Shown(user, P().deleteButton).Enabled);
        EXPECT_FALSE(Shown(user, IDC_OK).Enabled) << "no page holds anything now";
        ASSERT_TRUE(user.Click(IDC_CANCEL));
    });
    EXPECT_EQ(result, toolkit::IdCancel);
}

TEST_P(CoverFooterPageTest, PageNeverOpenedKeepsItsLoadedValues) {
    Loaded(7, 5); // neither listed nor shown: kept as loaded, and not empty
    const int result = RunDialog([&](Driver& user) {
        EXPECT_TRUE(Shown(user, IDC_OK).Enabled);
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    EXPECT_EQ(result, toolkit::IdOk);
    EXPECT_EQ(StoredOverlay(), 7u);
    EXPECT_EQ(StoredTray(), 5);
}

TEST_P(CoverFooterPageTest, DisableBeforeFirstShowIsAppliedWhenShown) {
    Loaded(12, 3);
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.Type(IDC_COPIES, "0"));
        ASSERT_TRUE(user.SelectTab(P().tab));
        for (int id : {P().tray, P().overlay, P().deleteButton}) {
            EXPECT_FALSE(Shown(user, id).Enabled) << "control " << id;
        }
        ASSERT_TRUE(user.Type(IDC_COPIES, "2"));
        EXPECT_TRUE(Shown(user, P().overlay).Enabled);
        EXPECT_TRUE(Shown(user, P().tray).Enabled);
        EXPECT_TRUE(Shown(user, P().deleteButton).Enabled);
    });
}

TEST_P(CoverFooterPageTest, PickingATrayEnablesDeleteAndOk) {
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(P().tab));
        ASSERT_TRUE(user.Pick(P().overlay, "3"));
        ASSERT_TRUE(user.Click(P().deleteButton));
        EXPECT_FALSE(Shown(user, IDC_OK).Enabled);
        ASSERT_TRUE(user.Pick(P().overlay, "3"));
        ASSERT_TRUE(user.Pick(P().tray, "Rough"));
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    EXPECT_EQ(StoredOverlay(), 3u);
    EXPECT_EQ(StoredTray(), 11);
}

INSTANTIATE_TEST_SUITE_P(Pages, CoverFooterPageTest, ::testing::Values(Cover, Footer),
                         test::ByCaseName);

} // namespace
} // namespace varnak
