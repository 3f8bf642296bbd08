#include "platform/FolderChooser.h"

#include <QWidget>

#include "platform/Dialogs.h"
#include "platform/core/Errors.h"

namespace {
// The dialog's callback carries no data of its own, so it goes to the chooser made last.
FolderChooser* g_remembered = nullptr;
}  // namespace

FolderChooser::FolderChooser(QObject* owner) : QObject(owner) {
    g_remembered = this;
}

FolderChooser::~FolderChooser() {
    if (g_remembered == this)
        g_remembered = nullptr;
}

void FolderChooser::SetNewUI(bool value) {
    if (newUI_ == value)
        return;
    newUI_ = value;
    if (value) {
        onlyComputer_ = false;
        noNetWork_ = false;
    } else {
        showStatus_ = false;
    }
}

void FolderChooser::SetShowStatus(bool value) {
    showStatus_ = value;
    if (value)
        SetNewUI(true);
}

void FolderChooser::SetHandleCallBack(bool value) {
    handleCallBack_ = value;
    if (value)
        SetNewUI(true);
}

void FolderChooser::SetOnlyComputer(bool value) {
    onlyComputer_ = value;
    if (value)
        SetNewUI(false);
}

void FolderChooser::SetNoNetWork(bool value) {
    noNetWork_ = value;
    if (value)
        SetNewUI(false);
}

unsigned FolderChooser::Flags() const {
    unsigned flags = BIF_VALIDATE;
    if (newUI_)
        flags |= BIF_USENEWUI;
    if (showStatus_)
        flags |= BIF_STATUSTEXT;
    if (noNetWork_)
        flags |= BIF_DONTGOBELOWDOMAIN;
    if (onlyComputer_)
        flags |= BIF_BROWSEFORCOMPUTER;
    return flags;
}

bool FolderChooser::Execute() {
    auto* owner = qobject_cast<QWidget*>(parent());
    if (!owner)
        throw EComponentError::NoParent();
    BrowseCallbackProc(owner, BFFM_INITIALIZED, 0, 0);
    const std::optional<QString> picked =
        platform::dialogs().BrowseForFolder(owner, Title, Flags(), InitialFolder);
    if (!picked)
        return false;
    FolderName = *picked;
    return true;
}

int FolderChooser::BrowseCallbackProc(void* hwnd, unsigned uMsg, intptr_t lParam, intptr_t lpData) {
    FolderChooser* chooser = g_remembered;
    if (chooser && chooser->OnCallBack && chooser->handleCallBack_) {
        chooser->OnCallBack(hwnd, uMsg, lParam, lpData);
    }
    return 0;
}
