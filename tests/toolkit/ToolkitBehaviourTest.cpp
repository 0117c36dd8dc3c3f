#include "platform/toolkit/Dialog.h"
#include "platform/toolkit/Driver.h"
#include "tests/toolkit/TestBackend.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnak::toolkit {
namespace {

enum : int {
    Digits = 100,
    ReadOnlyBox = 101,
    Choice = 102,
    Check = 103,
    RadioA = 104,
    RadioB = 105,
    Push = 106,
    Manual = 107,
    Rows = 108,
    Off = 109,
    PageCombo = 200,
    PageEdit = 201,
    PageRows = 300,
};

DialogTemplate MakeDialogTemplate() {
    DialogTemplate tmpl;
    tmpl.Id = 900;
    tmpl.Caption = "Test";
    tmpl.Controls = {
        {ControlKind::GroupBox, NoId, "Frame", Style::None, {}},
        {ControlKind::Edit, Digits, "", Style::DigitsOnly, {}},
        {ControlKind::Edit, ReadOnlyBox, "", Style::ReadOnly | Style::MultiLine, {}},
        {ControlKind::ComboBox, Choice, "", Style::None, {}},
        {ControlKind::CheckBox, Check, "Check", Style::None, {}},
        {ControlKind::RadioButton, RadioA, "A", Style::None, {}},
        {ControlKind::RadioButton, RadioB, "B", Style::None, {}},
        {ControlKind::PushButton, Push, "Push", Style::None, {}},
        {ControlKind::Link, Manual, "Manual", Style::None, {}},
        {ControlKind::ListView, Rows, "", Style::SingleSelect, {}},
        {ControlKind::PushButton, Off, "Off", Style::None, {}},
        {ControlKind::PushButton, IdOk, "OK", Style::None, {}},
        {ControlKind::PushButton, IdCancel, "Cancel", Style::None, {}},
    };
    return tmpl;
}

DialogTemplate MakePageTemplate(int id, std::vector<ControlTemplate> controls) {
    return {.Id = id,
            .Caption = "Page " + std::to_string(id),
            .Width = 100,
            .Height = 100,
            .Styles = DialogStyle::Child,
            .Controls = std::move(controls)};
}

const DialogTemplate DialogTmpl = MakeDialogTemplate();
const DialogTemplate PageATmpl =
    MakePageTemplate(901, {{ControlKind::ComboBox, PageCombo, "", Style::None, {}},
                           {ControlKind::Edit, PageEdit, "", Style::None, {}}});
const DialogTemplate PageBTmpl =
    MakePageTemplate(902, {{ControlKind::ListView, PageRows, "", Style::None, {}}});

using Log = std::vector<std::string>;

class TestPage : public PropertyPage {
public:
    TestPage(const DialogTemplate& tmpl, Log& log) : PropertyPage(tmpl), log_(log) {
        OnNotification(PageCombo, Notification::SelChange, [this] { log_.push_back("page pick"); });
    }
    bool OnInitDialog() override {
        log_.push_back("init " + std::to_string(Template().Id));
        if (auto* combo = dynamic_cast<ComboBox*>(GetDlgItem(PageCombo))) {
            combo->AddString("x");
        }
        return true;
    }
    bool OnSetActive() override {
        log_.push_back("active " + std::to_string(Template().Id));
        return true;
    }

private:
    Log& log_;
};

class TestDialog : public ModalDialog {
public:
    TestDialog(Backend& backend, int startPage)
        : ModalDialog(backend, DialogTmpl), sheet_(startPage), pageA_(PageATmpl, log),
          pageB_(PageBTmpl, log) {
        sheet_.AddPage(pageA_);
        sheet_.AddPage(pageB_);
        for (int id : {Digits, ReadOnlyBox}) {
            OnNotification(id, Notification::EditChange,
                           [this, id] { log.push_back("change " + std::to_string(id)); });
        }
        for (int id : {Check, RadioA, RadioB, Push, Manual}) {
            OnNotification(id, Notification::Clicked,
                           [this, id] { log.push_back("click " + std::to_string(id)); });
        }
        OnNotification(Choice, Notification::SelChange, [this] { log.push_back("pick"); });
        OnNotification(Rows, Notification::ItemChanged, [this] { log.push_back("rows"); });
    }

    bool OnInitDialog() override {
        sheet_.Create(*this, 5, 200);
        auto& combo = Item<ComboBox>(Choice);
        combo.AddString("One");
        combo.AddString("Two");
        combo.AddString("two");
        combo.SetCurSel(0);
        Item<Button>(Check).SetCheck(true);
        Item<Button>(Off).Enable(false);
        Item<Link>(Manual).SetUrl("https://example.invalid/manual");
        auto& rows = Item<ListView>(Rows);
        rows.InsertColumn(0, "A", ColumnAlign::Left, 50, "");
        rows.InsertColumn(1, "B", ColumnAlign::Right, 50, "");
        for (const char* text : {"r0", "r1", "r2"}) {
            rows.SetItemText(rows.InsertItem(rows.GetItemCount(), text), 1, "b");
        }
        return true;
    }

    bool PreTranslateMessage(const KeyMessage& message) override {
        return swallowEnter && message.VirtualKey == VirtualKeyReturn;
    }

    PropertySheet& Sheet() { return sheet_; }
    TestPage& PageA() { return pageA_; }

    Log log;
    bool swallowEnter = false;

private:
    PropertySheet sheet_;
    TestPage pageA_;
    TestPage pageB_;
};

class ToolkitTest : public ::testing::Test {
protected:
    // Runs the dialog with the user function; returns DoModal's result.
    int Run(const UserFunction& user, int startPage = 0) {
        backend->SetUser(user);
        dialog = std::make_unique<TestDialog>(backend->Get(), startPage);
        return dialog->DoModal();
    }

    std::unique_ptr<ScriptedBackend> backend = test::MakeTestBackend();
    std::unique_ptr<TestDialog> dialog;
};

TEST_F(ToolkitTest, ChangesFromCodeNotifyOnlyForEditText) {
    Run([&](Driver&) {
        dialog->log.clear();
        auto& edit = dialog->Item<Edit>(Digits);
        edit.SetText("5");
        edit.SetText("5"); // the same text still counts as a change
        dialog->Item<ComboBox>(Choice).SetCurSel(1);
        dialog->Item<Button>(Check).SetCheck(false);
        dialog->Item<ListView>(Rows).SetItemText(0, 0, "x");
        EXPECT_EQ(dialog->log, (Log{"change 100", "change 100"}));
    });
}

TEST_F(ToolkitTest, UserActionsNotify) {
    Run([&](Driver& user) {
        dialog->log.clear();
        ASSERT_TRUE(user.Pick(Choice, "Two"));
        EXPECT_EQ(dialog->Item<ComboBox>(Choice).GetCurSel(), 1);
        ASSERT_TRUE(user.Pick(Choice, "two")); // exact text, not the first case-blind match
        EXPECT_EQ(dialog->Item<ComboBox>(Choice).GetCurSel(), 2);
        ASSERT_TRUE(user.Click(Check));
        EXPECT_FALSE(dialog->Item<Button>(Check).GetCheck());
        ASSERT_TRUE(user.Click(Push));
        EXPECT_EQ(dialog->log, (Log{"pick", "pick", "click 103", "click 106"}));
    });
}

TEST_F(ToolkitTest, DigitsOnlyEditRefusesTypedLettersButTakesPastes) {
    Run([&](Driver& user) {
        dialog->log.clear();
        ASSERT_TRUE(user.TypeKeys(Digits, "3a4"));
        EXPECT_EQ(dialog->Item<Edit>(Digits).GetText(), "34");
        EXPECT_EQ(dialog->log, (Log{"change 100", "change 100"}));
        dialog->log.clear();
        ASSERT_TRUE(user.Type(Digits, "-2abc"));
        EXPECT_EQ(dialog->Item<Edit>(Digits).GetText(), "-2abc");
        ASSERT_TRUE(user.Type(Digits, ""));
        EXPECT_EQ(dialog->Item<Edit>(Digits).GetText(), "");
        EXPECT_EQ(dialog->log, (Log{"change 100", "change 100"}));
    });
}

TEST_F(ToolkitTest, RadioButtonClearsItsGroup) {
    Run([&](Driver& user) {
        ASSERT_TRUE(user.Click(RadioA));
        ASSERT_TRUE(user.Click(RadioB));
        EXPECT_FALSE(dialog->Item<Button>(RadioA).GetCheck());
        EXPECT_TRUE(dialog->Item<Button>(RadioB).GetCheck());
        EXPECT_TRUE(dialog->Item<Button>(Check).GetCheck()) << "a check box is no radio";
    });
}

TEST_F(ToolkitTest, ListViewNotifiesWhenItsSelectionChanges) {
    Run([&](Driver& user) {
        auto& rows = dialog->Item<ListView>(Rows);
        dialog->log.clear();
        ASSERT_TRUE(user.SelectRow(Rows, 1));
        ASSERT_TRUE(user.SelectRow(Rows, 1)); // no change, no notification
        EXPECT_EQ(rows.GetNextSelected(), 1);
        rows.DeleteItem(2); // below the selection: nothing changes for it
        EXPECT_EQ(dialog->log, (Log{"rows"}));
        rows.DeleteItem(0); // above it: the selection moves with its row, silently
        EXPECT_EQ(rows.GetNextSelected(), 0);
        EXPECT_EQ(rows.GetItemText(0, 0), "r1");
        EXPECT_EQ(dialog->log, (Log{"rows"}));
        rows.DeleteItem(0); // the selected row: a change
        EXPECT_EQ(rows.GetNextSelected(), -1);
        EXPECT_EQ(dialog->log, (Log{"rows", "rows"}));
        EXPECT_FALSE(user.SelectRow(Rows, 0));
        EXPECT_TRUE(user.SelectRow(Rows, -1));
    });
}

TEST_F(ToolkitTest, PagesAreCreatedOnFirstActivation) {
    Run([&](Driver& user) {
        EXPECT_EQ(dialog->log, (Log{"init 901", "active 901"}));
        EXPECT_EQ(dialog->Sheet().GetPage(1).GetDlgItem(PageRows), nullptr);
        dialog->log.clear();
        ASSERT_TRUE(user.SelectTab(1));
        ASSERT_TRUE(user.SelectTab(0));
        ASSERT_TRUE(user.SelectTab(1));
        EXPECT_EQ(dialog->log, (Log{"init 902", "active 902", "active 901", "active 902"}));
        EXPECT_EQ(user.ActiveTab(), 1);
        EXPECT_FALSE(user.SelectTab(2));
    });
}

TEST_F(ToolkitTest, StartPageOutsideThePagesOpensTheFirst) {
    for (int start : {1, 2, -1}) {
        Run([&](Driver& user) { EXPECT_EQ(user.ActiveTab(), start == 1 ? 1 : 0); }, start);
    }
}

TEST_F(ToolkitTest, DriverRefusesWhatAUserCouldNotDo) {
    Run([&](Driver& user) {
        struct Case {
            const char* name;
            ActionResult result;
            std::string reason;
        };
        const Case cases[] = {
            {"unknown id", user.Click(555), "no control 555"},
            {"label", user.Click(NoId), "no control -1"},
            {"wrong kind", user.Pick(Digits, "1"), "control 100 is an edit"},
            {"missing item", user.Pick(Choice, "Three"), "combo box 102 has no item \"Three\""},
            {"disabled", user.Click(Off), "control 109 is disabled"},
            {"read-only", user.Type(ReadOnlyBox, "x"), "control 101 is read-only"},
            {"hidden page", user.SelectRow(PageRows, 0),
             "control 300 is on a page that isn't shown"},
            {"enter on disabled", user.PressEnter(Off), "control 109 is disabled"},
            {"row past the end", user.SelectRow(Rows, dialog->Item<ListView>(Rows).GetItemCount()),
             "list view 108 has no row " +
                 std::to_string(dialog->Item<ListView>(Rows).GetItemCount())},
            {"row below none", user.SelectRow(Rows, -2), "list view 108 has no row -2"},
            {"page past the end", user.SelectTab(2), "no page 2"},
        };
        for (const auto& c : cases) {
            EXPECT_FALSE(c.result) << "case: " << c.name;
            EXPECT_EQ(c.result.Reason, c.reason) << "case: " << c.name;
        }
        EXPECT_TRUE(user.Pick(PageCombo, "x")) << "the shown page is reachable";
        EXPECT_EQ(dialog->log.back(), "page pick");
    });
}

TEST_F(ToolkitTest, EnterPressesOkUnlessFiltered) {
    EXPECT_EQ(Run([&](Driver& user) {
                  dialog->swallowEnter = true;
                  ASSERT_TRUE(user.PressEnter(Digits));
                  EXPECT_TRUE(user.DialogOpen());
                  dialog->swallowEnter = false;
                  ASSERT_TRUE(user.PressEnter(PageEdit)); // the sheet keeps it
                  EXPECT_TRUE(user.DialogOpen());
                  ASSERT_TRUE(user.PressEnter(Digits));
                  EXPECT_FALSE(user.DialogOpen());
                  EXPECT_EQ(user.Click(Push).Reason, "no dialog is open");
                  EXPECT_TRUE(user.Controls().empty());
              }),
              IdOk);
}

TEST_F(ToolkitTest, EnterOnAFocusedButtonPressesIt) {
    Run([&](Driver& user) {
        dialog->log.clear();
        ASSERT_TRUE(user.PressEnter(Push));
        EXPECT_EQ(dialog->log, (Log{"click 106"}));
        EXPECT_TRUE(user.DialogOpen());
    });
}

TEST_F(ToolkitTest, LinkOpensItsAddressOnClickAndEnter) {
    Run([&](Driver& user) {
        dialog->swallowEnter = true; // the link takes Enter before the filter
        ASSERT_TRUE(user.Click(Manual));
        ASSERT_TRUE(user.PressEnter(Manual));
    });
    const UserEvent browse{UserEvent::Type::Browse, MessageIcon::None, "",
                           "https://example.invalid/manual"};
    EXPECT_EQ(backend->Events(), (std::vector<UserEvent>{browse, browse}));
}

TEST_F(ToolkitTest, EscapeAndCancelEndWithCancel) {
    EXPECT_EQ(Run([&](Driver& user) { ASSERT_TRUE(user.PressEscape()); }), IdCancel);
    EXPECT_EQ(Run([&](Driver& user) { ASSERT_TRUE(user.Click(IdCancel)); }), IdCancel);
}

TEST_F(ToolkitTest, RunLeftOpenByTheUserSaysSo) {
    EXPECT_EQ(Run([](Driver&) {}), ResultStillOpen);
    EXPECT_FALSE(dialog->HasWindow());
    EXPECT_FALSE(dialog->PageA().HasWindow());
}

TEST_F(ToolkitTest, MessageBoxesAreRecordedAndAnswered) {
    Run([&](Driver&) {
        dialog->MessageBox("Text", "Title", MessageIcon::Warning);
        EXPECT_TRUE(dialog->IsRunning());
    });
    EXPECT_EQ(backend->Events(), (std::vector<UserEvent>{{UserEvent::Type::Message,
                                                          MessageIcon::Warning, "Title", "Text"}}));
}

TEST_F(ToolkitTest, ControlsListsDialogThenActivePageInTemplateOrder) {
    Run([&](Driver& user) {
        std::vector<int> ids;
        for (const auto& state : user.Controls()) {
            ids.push_back(state.Id);
        }
        EXPECT_EQ(ids, (std::vector<int>{Digits, ReadOnlyBox, Choice, Check, RadioA, RadioB, Push,
                                         Manual, Rows, Off, IdOk, IdCancel, PageCombo, PageEdit}));
        const auto rows = user.State(Rows);
        ASSERT_TRUE(rows);
        EXPECT_EQ(rows->Rows,
                  (std::vector<std::vector<std::string>>{{"r0", "b"}, {"r1", "b"}, {"r2", "b"}}));
        const auto choice = user.State(Choice);
        ASSERT_TRUE(choice);
        EXPECT_EQ(choice->Text, "One");
        EXPECT_EQ(choice->Items, (std::vector<std::string>{"One", "Two", "two"}));
        EXPECT_FALSE(user.State(PageRows));
    });
}

} // namespace
} // namespace varnak::toolkit
