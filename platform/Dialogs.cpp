#include "platform/Dialogs.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

namespace platform {
namespace {

// "Media Files (*.mpg *.avi)": the filters as the desktop's file dialog takes them.
QStringList NameFilters(const QList<FileFilter>& filters) {
    QStringList nameFilters;
    for (const FileFilter& f : filters) {
        QString patterns = f.patterns;
        patterns.replace(';', ' ');
        nameFilters << QStringLiteral("%1 (%2)").arg(f.description, patterns);
    }
    return nameFilters;
}

QStringList PickFiles(QWidget* owner, const QString& title, const QString& initialFolder,
                      const QList<FileFilter>& filters, QFileDialog::FileMode mode) {
    QFileDialog dialog(owner, title, initialFolder);
    dialog.setFileMode(mode);
    dialog.setNameFilters(NameFilters(filters));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QStringList files;
    for (const QString& file : dialog.selectedFiles())
        files << QDir::toNativeSeparators(file);
    return files;
}

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

    int Choose(QWidget* owner, const QString& text, const QString& caption,
               const QStringList& answers) override {
        QMessageBox box(owner);
        box.setWindowTitle(caption.isEmpty() ? QCoreApplication::applicationName() : caption);
        box.setText(text);
        box.setIcon(QMessageBox::Question);
        std::vector<QAbstractButton*> buttons;
        for (const QString& answer : answers)
            buttons.push_back(box.addButton(answer, QMessageBox::AcceptRole));
        box.setEscapeButton(box.addButton(QMessageBox::Cancel));
        box.exec();
        for (size_t i = 0; i < buttons.size(); ++i) {
            if (box.clickedButton() == buttons[i])
                return int(i);
        }
        return -1;
    }

    std::optional<QString> OpenFile(QWidget* owner, const QString& title,
                                    const QString& initialFolder,
                                    const QList<FileFilter>& filters) override {
        const QStringList files =
            PickFiles(owner, title, initialFolder, filters, QFileDialog::ExistingFile);
        if (files.isEmpty())
            return std::nullopt;
        return files.first();
    }

    QStringList OpenFiles(QWidget* owner, const QString& title, const QString& initialFolder,
                          const QList<FileFilter>& filters) override {
        return PickFiles(owner, title, initialFolder, filters, QFileDialog::ExistingFiles);
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

QStringList Dialogs::OpenFiles(QWidget* owner, const QString& title, const QString& initialFolder,
                               const QList<FileFilter>& filters) {
    const std::optional<QString> file = OpenFile(owner, title, initialFolder, filters);
    return file ? QStringList{*file} : QStringList();
}

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
