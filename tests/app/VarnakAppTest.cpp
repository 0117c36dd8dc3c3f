#include "app/CVarnakApp.h"
#include "app/DriveScript.h"
#include "platform/toolkit/Driver.h"
#include "tests/platform/RegistrySandbox.h"
#include "tests/support/CaseName.h"
#include "tests/toolkit/TestBackend.h"
#include "ui/ControlIds.h"

#include <gtest/gtest.h>

#include <sstream>

namespace varnak {
namespace {

using namespace ids;
using toolkit::Driver;
using toolkit::UserEvent;

constexpr const char* SettingsKey = "SOFTWARE\\quet\\sorb-userinterface";

class VarnakAppTest : public ::testing::Test {
protected:
    int RunApp(const std::string& commandLine, const toolkit::UserFunction& user) {
        backend = test::MakeTestBackend();
        backend->SetUser(user);
        CVarnakApp app(backend->Get(), registry.Registry(), commandLine);
        EXPECT_FALSE(app.InitInstance());
        exitStatus = app.ExitStatus();
        return app.DialogResult();
    }

    test::RegistrySandbox registry;
    int exitStatus = -1;
    std::unique_ptr<toolkit::ScriptedBackend> backend;
};

TEST_F(VarnakAppTest, EmptyCommandLineWarnsFirstAndCancelSavesNothing) {
    const int result = RunApp("", [&](Driver& user) {
        ASSERT_EQ(backend->Events().size(), 1u) << "the warning comes before the dialog";
        ASSERT_TRUE(user.SelectTab(1));
        ASSERT_TRUE(user.Type(IDC_COPIES, "3"));
        ASSERT_TRUE(user.Pick(IDC_DEFAULT_TRAY, "None"));
        ASSERT_TRUE(user.Click(IDC_CANCEL));
    });
    EXPECT_EQ(result, toolkit::IdCancel);
    EXPECT_EQ(exitStatus, 1);
    EXPECT_EQ(backend->Events(),
              (std::vector<UserEvent>{{UserEvent::Type::Message, toolkit::MessageIcon::Warning,
                                       "Error", "missing options on the command line"}}));
    EXPECT_FALSE(registry.Get(SettingsKey, "NumberOfCopies")) << "Cancel saves nothing";
}

TEST_F(VarnakAppTest, SecondRunOpensWithWhatTheFirstSavedOnOk) {
    // A stored cover tray counts as something set, so OK is enabled.
    registry.SetDword(SettingsKey, "CoverPageInputTray", 4);
    const int first = RunApp("-DEBUG", [&](Driver& user) {
        ASSERT_TRUE(user.SelectTab(2));
        ASSERT_TRUE(user.Type(IDC_COPIES, "3"));
        ASSERT_TRUE(user.Click(IDC_OK));
    });
    EXPECT_EQ(first, toolkit::IdOk);
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(registry.Get(SettingsKey, "NumberOfCopies")->Bytes, test::DwordBytes(3));
    EXPECT_EQ(registry.Get(SettingsKey, "LastTab")->Bytes, test::DwordBytes(2));

    const int second = RunApp("-DEBUG", [&](Driver& user) {
        EXPECT_EQ(user.ActiveTab(), 2);
        EXPECT_EQ(user.State(IDC_COPIES)->Text, "3");
        ASSERT_TRUE(user.PressEscape());
    });
    EXPECT_EQ(second, toolkit::IdCancel);
}

// Whichever page OK was pressed on, the next job opens on it: every page of the sheet, whose
// number the store knows too.
TEST_F(VarnakAppTest, EveryPageIsWhereTheNextJobOpens) {
    for (int page = 0; page < static_cast<int>(PageCount); ++page) {
        // Something set, so that OK is enabled, on a page that doesn't show it.
        registry.SetDword(SettingsKey, "CoverPageInputTray", 4);
        registry.SetDword(SettingsKey, "LastTab", 0);
        RunApp("-DEBUG", [&](Driver& user) {
            ASSERT_TRUE(user.SelectTab(page));
            ASSERT_TRUE(user.Click(IDC_OK));
        });
        RunApp("-DEBUG", [&](Driver& user) {
            EXPECT_EQ(user.ActiveTab(), page);
            EXPECT_FALSE(user.SelectTab(static_cast<int>(PageCount))) << "a page beyond PageCount";
            ASSERT_TRUE(user.PressEscape());
        });
    }
}

TEST_F(VarnakAppTest, RunLeftOpenSavesNothing) {
    registry.SetDword(SettingsKey, "CoverPageInputTray", 4);
    EXPECT_EQ(RunApp("x", [](Driver&) {}), toolkit::ResultStillOpen);
    EXPECT_EQ(exitStatus, 1);
    EXPECT_FALSE(registry.Get(SettingsKey, "NumberOfCopies"));
}

// Hands the sandbox's registry to each run of a script.
class BorrowedRegistry : public platform::Registry {
public:
    explicit BorrowedRegistry(platform::Registry& registry) : registry_(registry) {}
    platform::RegStatus OpenKey(const std::string& subKey, std::uint32_t access,
                                std::unique_ptr<platform::RegistryKey>& key) override {
        return registry_.OpenKey(subKey, access, key);
    }
    platform::RegStatus CreateKey(const std::string& subKey, std::uint32_t access,
                                  std::unique_ptr<platform::RegistryKey>& key) override {
        return registry_.CreateKey(subKey, access, key);
    }

private:
    platform::Registry& registry_;
};

struct ScriptCase {
    const char* name;
    const char* script;
    int exit;
    const char* out;
    const char* err;
};

class DriveScriptTest : public ::testing::TestWithParam<ScriptCase> {
protected:
    test::RegistrySandbox registry;
};

TEST_P(DriveScriptTest, RunsOrRejectsTheScript) {
    const ScriptCase& c = GetParam();
    std::ostringstream out;
    std::ostringstream err;
    DriveScript drive([&] { return std::make_unique<BorrowedRegistry>(registry.Registry()); }, out,
                      err);
    std::istringstream script(c.script);
    EXPECT_EQ(drive.Run(script), c.exit) << "case: " << c.name;
    EXPECT_EQ(out.str(), c.out) << "case: " << c.name;
    EXPECT_EQ(err.str(), c.err) << "case: " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, DriveScriptTest,
    ::testing::Values(
        ScriptCase{"empty", "", 0, "", ""},
        ScriptCase{"comments and blank lines", "# c\n\n  \r\n", 0, "", ""},
        ScriptCase{"nothing open", "click 1\ndump\n", 0,
                   "refused 1: no dialog is open\nrefused 2: no dialog is open\n", ""},
        ScriptCase{"unknown command", "start x\nclick 1\nfrobnicate\n", 2, "",
                   "varnak-drive: line 3: unknown command \"frobnicate\"\n"},
        ScriptCase{"bad id", "click one\n", 2, "",
                   "varnak-drive: line 1: not a control id: \"one\"\n"},
        ScriptCase{"missing id", "click\n", 2, "", "varnak-drive: line 1: missing control id\n"},
        ScriptCase{"unknown name", "click IDC_OKAY\n", 2, "",
                   "varnak-drive: line 1: not a control id: \"IDC_OKAY\"\n"},
        ScriptCase{"names", "start x\ndump IDC_DEFAULT_TRAY\nclick IDC_CANCEL\n", 0,
                   "1036 combo enabled=1 sel=1 items=12 text=\"Plain\"\nend cancel\n", ""},
        ScriptCase{"escape with argument", "escape 1\n", 2, "",
                   "varnak-drive: line 1: escape takes no arguments\n"},
        ScriptCase{"missing row", "row 1047\n", 2, "", "varnak-drive: line 1: missing number\n"},
        ScriptCase{"refusals",
                   "start x\r\nclick 1\r\nselect 1036 Purple\r\ntype 1049 a\r\n"
                   "tab 4\r\nclick 1056\r\nstart y\r\ndump 1036\r\nescape\r\n",
                   0,
                   "refused 2: control 1 is disabled\n"
                   "refused 3: combo box 1036 has no item \"Purple\"\n"
                   "refused 4: control 1049 is read-only\n"
                   "refused 5: no page 4\n"
                   "refused 6: control 1056 is on a page that isn't shown\n"
                   "refused 7: a dialog is already open\n"
                   "1036 combo enabled=1 sel=1 items=12 text=\"Plain\"\n"
                   "end cancel\n",
                   ""},
        ScriptCase{"left open", "start\ntype 1037  2 \ndump 1037\n", 0,
                   "message warning \"Error\" \"missing options on the command line\"\n"
                   "refused 2: control 1037 is disabled\n"
                   "1037 edit enabled=0 text=\"1\"\nend open\n",
                   ""}),
    test::ByCaseName);

TEST(QuoteTextTest, EscapesQuotesBackslashesAndControlBytes) {
    EXPECT_EQ(QuoteText("a \"b\" c\\d\x01\x1f\n\xc3\xa9"),
              "\"a \\\"b\\\" c\\\\d\\x01\\x1f\\x0a\xc3\xa9\"");
}

} // namespace
} // namespace varnak
