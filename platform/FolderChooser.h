// The output folder chooser: a non-visual component that shows the desktop's folder dialog and
// gives back the path of the folder the user picks. Its options depend on each other the way the
// shell's browse flags do.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

class FolderChooser : public QObject {
    Q_OBJECT
public:
    // Browse flags, as the shell's folder browser knows them.
    static constexpr unsigned BIF_DONTGOBELOWDOMAIN = 0x2;
    static constexpr unsigned BIF_STATUSTEXT = 0x4;
    static constexpr unsigned BIF_EDITBOX = 0x10;
    static constexpr unsigned BIF_VALIDATE = 0x20;
    static constexpr unsigned BIF_NEWDIALOGSTYLE = 0x40;
    static constexpr unsigned BIF_USENEWUI = BIF_NEWDIALOGSTYLE | BIF_EDITBOX;
    static constexpr unsigned BIF_BROWSEFORCOMPUTER = 0x1000;
    static constexpr unsigned BFFM_INITIALIZED = 1;

    using CallBackEvent =
        std::function<void(void* hwnd, unsigned uMsg, intptr_t lParam, intptr_t lpData)>;

    // The chooser becomes the remembered instance that dialog callbacks go to.
    explicit FolderChooser(QObject* owner);
    ~FolderChooser() override;

    QString Title;
    QString FolderName;
    // Where the dialog opens; empty lets the desktop choose.
    QString InitialFolder;
    CallBackEvent OnCallBack;

    bool NewUI() const { return newUI_; }
    void SetNewUI(bool value);
    bool ShowStatus() const { return showStatus_; }
    void SetShowStatus(bool value);
    bool NoNetWork() const { return noNetWork_; }
    void SetNoNetWork(bool value);
    bool OnlyComputer() const { return onlyComputer_; }
    void SetOnlyComputer(bool value);
    bool HandleCallBack() const { return handleCallBack_; }
    void SetHandleCallBack(bool value);

    // The browse flags the options give.
    unsigned Flags() const;

    // Shows the dialog modally, owned by the owner window. True when the user confirmed a
    // choice (FolderName is then the folder, or empty for a pick that is no file-system
    // folder); false on cancel, FolderName unchanged. Raises "Component has no parent." when
    // the owner is not a window.
    bool Execute();

    // The dialog's callback: forwarded to the most recently constructed chooser when it has
    // OnCallBack assigned and HandleCallBack set. Always 0.
    static int BrowseCallbackProc(void* hwnd, unsigned uMsg, intptr_t lParam, intptr_t lpData);

private:
    bool newUI_ = false;
    bool showStatus_ = false;
    bool noNetWork_ = false;
    bool onlyComputer_ = false;
    bool handleCallBack_ = false;
};
