#include "platform/toolkit/Dialog.h"

namespace varnak::toolkit {

bool Dialog::Notify(int id, Notification code) {
    auto handler = handlers_.find({id, code});
    if (handler == handlers_.end()) {
        return false;
    }
    handler->second();
    return true;
}

int ModalDialog::DoModal() {
    AttachWindow(backend_.CreateDialogWindow(Template(), *this));
    running_ = true;
    result_ = ResultStillOpen;
    OnInitDialog();
    if (running_) {
        backend_.RunModal(*this);
    }
    const int result = running_ ? ResultStillOpen : result_;
    running_ = false;
    if (childSheet_ != nullptr) {
        childSheet_->Destroy();
    }
    DestroyWindow();
    return result;
}

void ModalDialog::EndDialog(int result) {
    if (!running_) {
        return;
    }
    running_ = false;
    result_ = result;
    if (Window() != nullptr) {
        Window()->EndModal(result);
    }
}

bool ModalDialog::Notify(int id, Notification code) {
    if (Dialog::Notify(id, code)) {
        return true;
    }
    if (code != Notification::Clicked) {
        return false;
    }
    if (id == IdOk) {
        OnOK();
        return true;
    }
    if (id == IdCancel) {
        OnCancel();
        return true;
    }
    return false;
}

void ModalDialog::MessageBox(const std::string& text, const std::string& title,
                             MessageIcon icon) {
    backend_.ShowMessage(Window(), text, title, icon);
}

void PropertySheet::Create(ModalDialog& parent, int x, int y) {
    parent_ = &parent;
    parent.SetChildSheet(this);
    window_ = parent.GetBackend().CreateSheetWindow(*this, *parent.Window(), x, y);
    const bool startInRange = startPage_ >= 0 && startPage_ < GetPageCount();
    SetActivePage(startInRange ? startPage_ : 0);
}

void PropertySheet::Destroy() {
    for (auto* page : pages_) {
        page->DestroyWindow();
    }
    window_.reset();
    active_ = -1;
    if (parent_ != nullptr) {
        parent_->SetChildSheet(nullptr);
        parent_ = nullptr;
    }
}

bool PropertySheet::SetActivePage(int index) {
    if (!window_ || index < 0 || index >= GetPageCount()) {
        return false;
    }
    if (index == active_) {
        return true;
    }
    PropertyPage& page = GetPage(index);
    if (!page.HasWindow()) {
        page.AttachWindow(
            parent_->GetBackend().CreatePageWindow(page.Template(), page, *window_, index));
        page.OnInitDialog();
    }
    active_ = index;
    window_->ShowPage(index, *page.Window());
    page.OnSetActive();
    return true;
}

} // namespace varnak::toolkit
