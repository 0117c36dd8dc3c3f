#pragma once

#include "core/JobSettings.h"
#include "platform/registry/Registry.h"
#include "ui/ListPage.h"

namespace varnak {

class COptionsDlg;

// The Chapter Printing page: chapters by their last page, each with its own copy count and
// a separator page after it (overlay and tray), and the copy count of the pages after the
// last chapter, shown in a final "Last" row. Edits JobSettings' chapter entries in place,
// one list-view row per entry in the same order, "Last" below them. While it is active the
// job is printed in chapter mode, so it keeps the general copy count at one.
class CSettings : public CListPage {
public:
    CSettings(JobSettings& settings, COptionsDlg& owner, platform::Registry& registry);

    bool IsEmpty() const override;

    void OnApply();
    void OnDelete();
    void OnOverlaySelected();
    void OnTraySelected();
    void OnSeparatorAfterCopySetClicked();
    void OnListItemChanged();

protected:
    void InitControls() override;
    // Chapter printing needs a single copy: the page keeps the copies field at one.
    void OnActivated() override;
    void DisableEditing() override;
    void EnableEditing() override;
    void StoreControls() override;

private:
    // The separator-after-copy-set box is only offered when the separator page after a
    // chapter has an overlay or a tray.
    void CheckBoxRule();
    // The box as the lists allow it, leaving the remembered choice alone.
    void ShowBoxForLists();
    bool BothListsSayNone() const;
    bool BothListsHaveSelection() const;
    void InsertChapterRow(toolkit::ListView& list, const ChapterEntry& entry);
    static void WriteChapterCells(toolkit::ListView& list, int row, const ChapterEntry& entry);
    // Sets the remaining copy count from the "Last chapter copy count:" field; returns the
    // text the "Last" row shows.
    std::string ApplyRemainingCopyCount(bool chapterTouched, std::uint32_t copyCount);
    void ShowLastRow(const std::string& copies);
    bool IsLastRow(int row) const;

    bool HasLastRow = false;
};

} // namespace varnak
