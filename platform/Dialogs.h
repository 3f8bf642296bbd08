// Modal dialogs behind one interface: message boxes, the open-file dialog, the folder dialog
// and the modal showing of the program's own windows. The program uses the desktop's real
// dialogs; tests install a fake with SetDialogs so that no modal dialog ever opens.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

namespace platform {

enum class BoxIcon { None, Information, Warning, Error };

struct FileFilter {
    QString description;  // "All Files(*.*)"
    QString patterns;     // "*.*" or "*.mpg;*.avi"
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A modal message box with an OK button.
    virtual void MessageBox(QWidget* owner, const QString& text, const QString& caption,
                            BoxIcon icon) = 0;

    // A modal question with Yes and No buttons, No the default; true for Yes. The caption is
    // the application's title when empty.
    virtual bool Ask(QWidget* owner, const QString& text, const QString& caption) = 0;

    // A modal question with one button per answer in `answers` and a Cancel button: the index
    // of the answer picked, or -1 for Cancel (also the window's close and Escape).
    virtual int Choose(QWidget* owner, const QString& text, const QString& caption,
                       const QStringList& answers) = 0;

    // One existing file, or nothing when the user cancels.
    virtual std::optional<QString> OpenFile(QWidget* owner, const QString& title,
                                            const QString& initialFolder,
                                            const QList<FileFilter>& filters) = 0;

    // Any number of existing files, or none when the user cancels. A dialog set that only
    // knows single files answers with OpenFile's file.
    virtual QStringList OpenFiles(QWidget* owner, const QString& title,
                                  const QString& initialFolder, const QList<FileFilter>& filters);

    // The folder the user picked, an empty text when the pick is not a file-system folder, or
    // nothing when the user cancels. `flags` are the browse flags the chooser composed; the
    // dialog opens at `initialFolder` when it names one.
    virtual std::optional<QString> BrowseForFolder(QWidget* owner, const QString& title,
                                                   unsigned flags,
                                                   const QString& initialFolder) = 0;

    // Shows one of the program's windows modally and returns its result.
    virtual int ExecModal(QDialog& dialog) = 0;
};

// The dialogs in use: the desktop's own unless a test installed others.
Dialogs& dialogs();

// Installs `replacement` (not owned); nullptr puts the desktop's dialogs back.
void SetDialogs(Dialogs* replacement);

// The plain message box of the windows: text, caption (the application's title when empty), OK.
void ShowMessage(QWidget* owner, const QString& text, const QString& caption = QString());

}  // namespace platform
