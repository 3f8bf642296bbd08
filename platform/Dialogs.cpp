#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace platform {
namespace {

class DesktopDialogs final : public Dialogs {
public:
    void MessageBox(QWidget* owner, const QString& text, const QString& caption,
                    BoxIcon icon) override {
        QMessageBox box(owner);
        box.setWindowTitle(caption);
        box.setText(text);
        box.setStandardButtons(QMessageBox::Ok);
        switch (icon) {
            case BoxIcon::None:
                box.setIcon(QMessageBox::NoIcon);
                break;
            case BoxIcon::Information:
                box.setIcon(QMessageBox::Information);
                break;
            case BoxIcon::Warning:
                box.setIcon(QMessageBox::Warning);
                break;
            case BoxIcon::Error:
                box.setIcon(QMessageBox::Critical);
                break;
        }
        box.exec();
    }

    bool Ask(QWidget* owner, const QString& text, const QString& caption) override {
        const QString title = caption.isEmpty() ? QCoreApplication::applicationName() : caption;
        return QMessageBox::question(owner, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    }

    std::optional<QString> OpenFile(QWidget* owner, const QString& title,
                                    const QString& initialFolder,
                                    const QList<FileFilter>& filters) override {
        QStringList nameFilters;
        for (const FileFilter& f : filters) {
            QString patterns = f.patterns;
            patterns.replace(';', ' ');
            nameFilters << QStringLiteral("%1 (%2)").arg(f.description, patterns);
        }
        QFileDialog dialog(owner, title, initialFolder);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(nameFilters);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        return QDir::toNativeSeparators(dialog.selectedFiles().first());
    }

    std::optional<QString> BrowseForFolder(QWidget* owner, const QString& title, unsigned flags,
                                           const QString& initialFolder) override {
        QFileDialog::Options options = QFileDialog::ShowDirsOnly;
        const QString folder =
            QFileDialog::getExistingDirectory(owner, title, initialFolder, options);
        if (folder.isEmpty())
            return std::nullopt;
        return QDir::toNativeSeparators(folder);
    }

    int ExecModal(QDialog& dialog) override { return dialog.exec(); }
};

DesktopDialogs g_desktop;
Dialogs* g_current = &g_desktop;

}  // namespace

Dialogs& dialogs() {
    return *g_current;
}

void SetDialogs(Dialogs* replacement) {
    g_current = replacement ? replacement : &g_desktop;
}

void ShowMessage(QWidget* owner, const QString& text, const QString& caption) {
    QString title = caption;
    if (title.isEmpty())
        title = QCoreApplication::applicationName();
    dialogs().MessageBox(owner, text, title, BoxIcon::None);
}

}  // namespace platform
