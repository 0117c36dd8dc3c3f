#include "core/CommandBuilder.h"
#include "tests/support/CaseName.h"
#include "tests/support/WorkedExamples.h"
#include "tests/ui/DialogFixture.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace varnak {
namespace {

using namespace ids;
using test::Shown;
using toolkit::Driver;
using toolkit::UserEvent;

const UserEvent CopiesMessage{UserEvent::Type::Message, toolkit::MessageIcon::Warning,
                              "Input Error", "Number of copies must be larger than zero"};

std::string Ticket(const JobSettings& settings, bool documentMode) {
    return test::Pjl(BuildCommandString(settings, documentMode));
}

class OptionsDialogTest : public ::testing::Test, public test::DialogFixture {
protected:
    void Loaded(std::uint32_t copies, std::uint32_t lastTab) {
        settings.SetLoadedFromRegistry(true);
        settings.SetNumberOfCopies(copies);
        settings.SetLastTab(lastTab);
    }
};

TEST_F(OptionsDialogTest, FirstRunOpensOnChapterPrintingWithCopiesLocked) {
    settings.SetNumberOfCopies(7); // not loaded: the built-in start values serve
    RunDialog([&](Driver& user) {
        EXPECT_EQ(user.ActiveTab(), 0);
        const auto copies = Shown(user, IDC_COPIES);
        EXPECT_EQ(copies.Text, "1");
        EXPECT_FALSE(copies.Enabled);
        const auto tray = Shown(user, IDC_DEFAULT_TRAY);
        EXPECT_EQ(tray.Text, "Plain");
        EXPECT_EQ(tray.Items.size(), 12u);
        const auto overlay = Shown(user, IDC_DEFAULT_OVERLAY);
        EXPECT_EQ(overlay.Items, std::vector<std::string>{"None"});
        EXPECT_EQ(overlay.Selection, 0);
        EXPECT_EQ(Shown(user, IDC_OVERLAY_DESCRIPTION).Text, "");
        for (int id : {IDC_SIMPLEX, IDC_DUPLEX, IDC_AS_DATASTREAM, IDC_STAPLING, IDC_OK}) {
            EXPECT_FALSE(Shown(user, id).Enabled) << "control " << id;
        }
        EXPECT_TRUE(Shown(user, IDC_CANCEL).Enabled);
    });
    EXPECT_EQ(settings.LastTab(), 0u);
}

TEST_F(OptionsDialogTest, LoadedCopiesShowWhenTheSheetOpensElsewhere) {
    Loaded(3, 1);
    RunDialog([&](Driver& user) {
        EXPECT_EQ(user.ActiveTab(), 1);
        const auto copies = Shown(user, IDC_COPIES);
        EXPECT_EQ(copies.Text, "3");
        EXPECT_TRUE(copies.Enabled);
    });
}

TEST_F(OptionsDialogTest, StoredLastTabPicksTheStartPageAndOutOfRangeOpensTheFirst) {
    const std::pair<std::uint32_t, int> cases[] = {
        {3, 3}, {2, 2}, {4, 0}, {9, 0}, {0xffffffffu, 0}};
    for (const auto& [stored, opened] : cases) {
        Loaded(1, stored);
        RunDialog(
            [&](Driver& user) { EXPECT_EQ(user.ActiveTab(), opened) << "stored " << stored; });
        EXPECT_EQ(settings.LastTab(), static_cast<std::uint32_t>(opened)) << "stored " << stored;
    }
}

// A stored copy count must not overwrite the lock of the Chapter Printing page.
TEST_F(OptionsDialogTest, LoadedCopiesDoNotBreakTheChapterLock) {
    Loaded(3, 0);
    RunDialog([&](Driver& user) {
        const auto copies = Shown(user, IDC_COPIES);
        EXPECT_EQ(copies.Text, "1");
        EXPECT_FALSE(copies.Enabled);
    });
}

// Passing through Chapter Printing never changes the count behind the operator's back: it
// shows 1 while it is the active page, and the count the field held comes back on the next
// page, by a page key or a click, with the pages enabled for it. Without the mend the field
// came back enabled but reading 1, and OK printed one copy.
TEST_F(OptionsDialogTest, TheCopyCountComesBackAfterChapterPrinting) {
    for (const bool byKey : {true, false}) {
        Loaded(2, 3);
        RunDialog([&](Driver& user) {
            ASSERT_TRUE(byKey ? user.PressPageKey(false) : user.SelectTab(0)); // wraps to page 0
            EXPECT_EQ(user.ActiveTab(), 0);
            EXPECT_EQ(Shown(user, IDC_COPIES).Text, "1");
            EXPECT_FALSE(Shown(user, IDC_COPIES).Enabled);
            ASSERT_TRUE(byKey ? user.PressPageKey(false) : user.SelectTab(1));
            EXPECT_EQ(Shown(user, IDC_COPIES).Text, "2") << (byKey ? "Ctrl+Tab" : "click");
            EXPECT_TRUE(Shown(user, IDC_COPIES).Enabled);
            ASSERT_TRUE(user.SelectTab(0));
            EXPECT_EQ(Shown(user, IDC_COPIES).Text, "1") << "locked again";
        });
    }
    Loaded(3, 0); // remembered on Chapter Printing
    RunDialog([&](Driver& user) {
        EXPECT_EQ(Shown(user, IDC_COPIES).Text, "1");
        ASSERT_TRUE(user.PressPageKey(true)); // wraps back to Document Printing
        EXPECT_EQ(user.ActiveTab(), 3);
        EXPECT_EQ(Shown(user, IDC_COPIES).Text, "3");
    });
}

// Leaving Chapter Printing gives the copies field back.
TEST_F(OptionsDialogTest, OtherPagesUnlockTheCopiesField) {
    for (int tab : {1, 2, 3}) {
        RunDialog([&](Driver& user) {
            ASSERT_TRUE(user.SelectTab(tab));
            EXPECT_TRUE(Shown(user, IDC_COPIES).Enabled) << "tab " << tab;
            ASSERT_TRUE(user.Type(IDC_COPIES, "3"));
            ASSERT_TRUE(user.SelectTab(0));
            const auto copies = Shown(user, IDC_COPIES);
            EXPECT_EQ(copies.Text, "1") << "tab " << tab;
            EXPECT_FALSE(copies.Enabled) << "tab " << tab;
        });
    }
}

struct CopiesCase {
    const char* name;
    const char* text;
    bool accepted;
    std::uint32_t stored;
    bool pagesEnabled; // the cover page's lists, as the copy count enables them
};

class CopiesTest : public OptionsDialogTest, public ::testing::WithParamInterface<CopiesCase> {};

TEST_P(CopiesTest, CopiesFieldDrivesPagesAndOk) {
    const CopiesCase& c = GetParam();
    InstallOverlays({{"12.mac", ""}});
    Loaded(1, 1);
    settings.SetCoverPageFormOverlay(12);
    commandLine.clear();
    const int result = RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.Type(IDC_COPIES, c.text));
        EXPECT_EQ(Shown(user, IDC_COVER_OVERLAY).Enabled, c.pagesEnabled);
        ASSERT_TRUE(user.Click(IDC_OK));
        EXPECT_EQ(user.DialogOpen(), !c.accepted);
    });
    EXPECT_EQ(result, c.accepted ? toolkit::IdOk : toolkit::ResultStillOpen);
    EXPECT_EQ(settings.NumberOfCopies(), c.stored);
    EXPECT_EQ(Messages(),
              c.accepted ? std::vector<UserEvent>{} : std::vector<UserEvent>{CopiesMessage});
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CopiesTest,
    ::testing::Values(CopiesCase{"zero", "0", false, 1, false},
                      CopiesCase{"empty", "", false, 1, false},
                      CopiesCase{"letters", "abc", false, 1, false},
                      CopiesCase{"negative", "-2", false, 1, true},
                      CopiesCase{"one", "1", true, 1, true}, CopiesCase{"two", "2", true, 2, true},
                      CopiesCase{"number then letters", "3abc", true, 3, true}),
    test::ByCaseName);

TEST_F(OptionsDialogTest, ActivePageChoosesChapterOrDocumentMode) {
    for (int tab : {0, 1, 2, 3}) {
        settings = JobSettings();
        settings.AddChapterEntry({.LastPage = 4, .CopyCount = 2});
        settings.AddPageEntry({.Page = 3});
        const std::string output = OutputFile("ticket" + std::to_string(tab) + ".prn");
        commandLine = "-R\"" + output + "\"";
        const int result = RunDialog([&](Driver& user) {
            ASSERT_TRUE(user.SelectTab(tab));
            ASSERT_TRUE(user.Click(IDC_OK));
        });
        ASSERT_EQ(result, toolkit::IdOk) << "tab " << tab;
        const bool documentMode = tab != 0;
        EXPECT_EQ(test::ReadFileBytes(output), Ticket(settings, documentMode)) << "tab " << tab;
        EXPECT_NE(Ticket(settings, true), Ticket(settings, false));
        EXPECT_EQ(settings.LastTab(), static_cast<std::uint32_t>(tab));
    }
}

TEST_F(OptionsDialogTest, OkStoresTheGeneralSettings) {
    InstallOverlays({{"3.mac", ""}, {"12.mac", ""}});
    settings.AddPageEntry({.Page = 3});
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(1));
        ASSERT_TRUE(user.Type(IDC_COPIES, "4"));
        ASSERT_TRUE(user.Pick(IDC_DEFAULT_TRAY, "Color"));
        ASSERT_TRUE(user.Pick(IDC_DEFAULT_OVERLAY, "12"));
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    EXPECT_EQ(settings.NumberOfCopies(), 4u);
    EXPECT_EQ(settings.DefaultInputTray(), 3);
    EXPECT_EQ(settings.DefaultFormOverlay(), 12u);

    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.Pick(IDC_DEFAULT_TRAY, "None"));
        ASSERT_TRUE(user.Pick(IDC_DEFAULT_OVERLAY, "None"));
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    EXPECT_EQ(settings.DefaultInputTray(), 0);
    EXPECT_EQ(settings.DefaultFormOverlay(), 0u);
}

TEST_F(OptionsDialogTest, StoredTrayOutsideTheListSelectsNothingAndStoresNone) {
    Loaded(1, 1);
    settings.SetDefaultInputTray(12);
    settings.AddPageEntry({.Page = 3});
    RunDialog([&](Driver& user) {
        const auto tray = Shown(user, IDC_DEFAULT_TRAY);
        EXPECT_EQ(tray.Selection, -1);
        EXPECT_EQ(tray.Text, "");
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    EXPECT_EQ(settings.DefaultInputTray(), 0);
}

TEST_F(OptionsDialogTest, StoredOverlaySelectsTheItemOfExactlyThatNumber) {
    InstallOverlays({{"15.mac", ""}, {"1.mac", ""}, {"1.mat", test::Utf16("first")}});
    const std::pair<std::uint32_t, const char*> cases[] = {{1, "1"}, {15, "15"}, {5, "None"}};
    for (const auto& [stored, selected] : cases) {
        Loaded(1, 1);
        settings.SetDefaultFormOverlay(stored);
        RunDialog([&](Driver& user) {
            EXPECT_EQ(Shown(user, IDC_DEFAULT_OVERLAY).Text, selected) << "stored " << stored;
            EXPECT_EQ(Shown(user, IDC_OVERLAY_DESCRIPTION).Text, stored == 1 ? "first" : "")
                << "stored " << stored;
        });
    }
}

TEST_F(OptionsDialogTest, PickingAnOverlayShowsItsDescription) {
    InstallOverlays({{"3.mac", ""}, {"3.mat", test::Utf16("Letter head")}, {"4.mac", ""}});
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.Pick(IDC_DEFAULT_OVERLAY, "3"));
        EXPECT_EQ(Shown(user, IDC_OVERLAY_DESCRIPTION).Text, "Letter head");
        ASSERT_TRUE(user.Pick(IDC_DEFAULT_OVERLAY, "4"));
        EXPECT_EQ(Shown(user, IDC_OVERLAY_DESCRIPTION).Text, "");
    });
}

TEST_F(OptionsDialogTest, EnterPressesNothingButTheLink) {
    settings.AddPageEntry({.Page = 3}); // OK enabled
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(1));
        for (int id : {IDC_COPIES, IDC_DEFAULT_TRAY, IDC_DEFAULT_OVERLAY, IDC_OK, IDC_CANCEL,
                       IDC_COVER_OVERLAY}) {
            ASSERT_TRUE(user.PressEnter(id)) << "control " << id;
            EXPECT_TRUE(user.DialogOpen()) << "control " << id;
        }
        ASSERT_TRUE(user.PressEnter(IDC_MANUAL_LINK));
        ASSERT_TRUE(user.Click(IDC_MANUAL_LINK));
    });
    const UserEvent browse{UserEvent::Type::Browse, toolkit::MessageIcon::None, "", ManualAddress};
    EXPECT_EQ(backend->Events(), (std::vector<UserEvent>{browse, browse}));
}

// Where no browser starts, the link says where the manual is instead of doing nothing.
TEST_F(OptionsDialogTest, ManualLinkWithoutBrowserSaysWhereTheManualIs) {
    backend->SetBrowserOpens(false);
    RunDialog([&](Driver& user) { ASSERT_TRUE(user.Click(IDC_MANUAL_LINK)); });
    const auto messages = Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].Title, "ZOR Brevant");
    EXPECT_EQ(messages[0].Icon, toolkit::MessageIcon::Information);
    EXPECT_NE(messages[0].Text.find(backend->Get().LocationOf(ManualAddress)), std::string::npos)
        << messages[0].Text;
}

TEST_F(OptionsDialogTest, EscapeCancelsWithoutTicketOrStoring) {
    settings.AddPageEntry({.Page = 3});
    commandLine = "-R\"" + OutputFile("job.prn") + "\"";
    const int result = RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(1));
        ASSERT_TRUE(user.Type(IDC_COPIES, "5"));
        ASSERT_TRUE(user.PressEscape());
    });
    EXPECT_EQ(result, toolkit::IdCancel);
    EXPECT_FALSE(std::filesystem::exists(OutputFile("job.prn")));
    EXPECT_EQ(settings.NumberOfCopies(), 1u);
}

TEST_F(OptionsDialogTest, UnopenableOutputKeepsTheDialogOpenAndOkRepeats) {
    settings.AddPageEntry({.Page = 3});
    commandLine = "-R\"" + OutputFile("missing/job.prn") + "\"";
    RunDialog([&](Driver& user) {
        ASSERT_TRUE(user.Click(IDC_OK));
        EXPECT_TRUE(user.DialogOpen());
        ASSERT_TRUE(user.Click(IDC_OK));
        EXPECT_TRUE(user.DialogOpen());
    });
    const UserEvent couldNotOpen{UserEvent::Type::Message, toolkit::MessageIcon::Warning, "Error",
                                 "Could not open output file"};
    EXPECT_EQ(Messages(), (std::vector<UserEvent>{couldNotOpen, couldNotOpen}));
}

TEST_F(OptionsDialogTest, LoadedCoverOverlayEnablesOkBeforeThePageIsShown) {
    Loaded(1, 3);
    settings.SetCoverPageFormOverlay(12); // not even installed: the record decides
    RunDialog([&](Driver& user) { EXPECT_TRUE(Shown(user, IDC_OK).Enabled); });
    settings.SetCoverPageFormOverlay(0);
    RunDialog([&](Driver& user) { EXPECT_FALSE(Shown(user, IDC_OK).Enabled); });
}

TEST_F(OptionsDialogTest, CopiesZeroBeforeAPageIsShownOpensItDisabled) {
    InstallOverlays({{"12.mac", ""}});
    for (const bool backToOne : {false, true}) {
        Loaded(1, 3);
        settings.SetCoverPageFormOverlay(12);
        RunDialog([&](Driver& user) {
            ASSERT_TRUE(user.Type(IDC_COPIES, "0"));
            if (backToOne) {
                ASSERT_TRUE(user.Type(IDC_COPIES, "1"));
            }
            ASSERT_TRUE(user.SelectTab(1));
            for (int id : {IDC_COVER_TRAY, IDC_COVER_OVERLAY, IDC_COVER_DELETE}) {
                EXPECT_EQ(Shown(user, id).Enabled, backToOne) << "control " << id;
            }
        });
    }
}

} // namespace
} // namespace varnak
