#pragma once

#include "platform/toolkit/Template.h"

#include <string>
#include <string_view>

namespace varnak::toolkit {

// The controls of a dialog as code sees them. A backend owns them; dialogs borrow them by
// id while their window exists. Changes made through these operations follow the Windows
// rules: of them, only Edit's SetText sends a notification (EditChange, even when the text
// stays the same), and a list view sends ItemChanged whenever its selection changes.

class Control {
public:
    virtual ~Control() = default;
    virtual int Id() const = 0;
    virtual ControlKind Kind() const = 0;

    // The window text: an edit's contents, a button's or link's label, a combo box's
    // selected item ("" with no selection).
    virtual void SetText(std::string_view text) = 0;
    virtual std::string GetText() const = 0;

    virtual void Enable(bool enable) = 0;
    virtual bool IsEnabled() const = 0;
    virtual void SetFocus() = 0;
};

// Single- or multi-line edit; digits-only, read-only and multi-line come from its styles.
class Edit : public Control {
public:
    // Whether the user is kept from changing the text (the program still may).
    virtual bool IsReadOnly() const = 0;
};

// A push button, radio button or check box.
class Button : public Control {
public:
    virtual void SetCheck(bool checked) = 0;
    virtual bool GetCheck() const = 0;
};

// A hyperlink; the address it opens is set by code.
class Link : public Control {
public:
    virtual void SetUrl(std::string_view address) = 0;
};

// A drop-down list. Positions count from 0; -1 means none.
class ComboBox : public Control {
public:
    // Appends (the lists are never sorted); returns the item's position.
    virtual int AddString(std::string_view text) = 0;
    // Selects the item; a position outside the list clears the selection.
    virtual void SetCurSel(int index) = 0;
    virtual int GetCurSel() const = 0;
    virtual int GetCount() const = 0;
    // The item's text; "" outside the list.
    virtual std::string GetLBText(int index) const = 0;
};

enum class ColumnAlign { Left, Right, Center };

// A list-view column as it was inserted, with the design's width.
struct ListColumn {
    std::string Heading;
    ColumnAlign Align = ColumnAlign::Left;
    int WidthPixels = 0;
    bool operator==(const ListColumn&) const = default;
};

// A report-style list view with single selection. Rows and columns count from 0.
class ListView : public Control {
public:
    // widthPixels is the design's width; a backend shows the column wider where its font
    // needs more room for the heading, and makes room for a cell's text: up front for
    // widestCell, the widest text a cell can hold, where all columns then still show at the
    // list's width, or by widening the column when such a cell comes.
    virtual int InsertColumn(int column, std::string_view heading, ColumnAlign align,
                             int widthPixels, std::string_view widestCell) = 0;
    virtual int GetColumnCount() const = 0;
    // The column's heading, alignment and width; an empty column outside the list.
    virtual ListColumn GetColumn(int column) const = 0;
    // Inserts a row with the text of column 0 (an index past the end appends); returns
    // its position. The selection, if any, stays on the row it was on.
    virtual int InsertItem(int row, std::string_view text) = 0;
    virtual void SetItemText(int row, int column, std::string_view text) = 0;
    virtual std::string GetItemText(int row, int column) const = 0;
    // Deleting the selected row leaves no row selected, and notifies.
    virtual void DeleteItem(int row) = 0;
    virtual int GetItemCount() const = 0;
    // The first selected row after start (-1: from the top), or -1.
    virtual int GetNextSelected(int start = -1) const = 0;
};

} // namespace varnak::toolkit
