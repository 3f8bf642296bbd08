// Dialogs for tests: message boxes are recorded, the open and folder dialogs answer from queues
// the test fills, and modal windows run a handler the test sets (by default they are only
// recorded and answer 0). Installed for the lifetime of the object.
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/Dialogs.h"

struct ShownMessage {
    QString text;
    QString caption;
    platform::BoxIcon icon;
};

class FakeDialogs : public platform::Dialogs {
public:
    FakeDialogs();
    ~FakeDialogs() override;

    void MessageBox(QWidget* owner, const QString& text, const QString& caption,
                    platform::BoxIcon icon) override;
    std::optional<QString> OpenFile(QWidget* owner, const QString& title,
                                    const QString& initialFolder,
                                    const QList<platform::FileFilter>& filters) override;
    std::optional<QString> BrowseForFolder(QWidget* owner, const QString& title, unsigned flags,
                                           const QString& initialFolder) override;
    // Answers from openManyAnswers; when that is empty, one file from openAnswers.
    QStringList OpenFiles(QWidget* owner, const QString& title, const QString& initialFolder,
                          const QList<platform::FileFilter>& filters) override;
    int ExecModal(QDialog& dialog) override;
    bool Ask(QWidget* owner, const QString& text, const QString& caption) override;
    // Answers from chooseAnswers (an index, or -1 for Cancel); an empty queue cancels.
    int Choose(QWidget* owner, const QString& text, const QString& caption,
               const QStringList& answers) override;

    std::vector<ShownMessage> messages;
    std::deque<std::optional<QString>> openAnswers;    // empty queue: cancel
    std::deque<std::optional<QString>> folderAnswers;  // empty queue: cancel
    std::deque<bool> askAnswers;                       // empty queue: No
    std::vector<QString> questions;
    std::deque<int> chooseAnswers;
    QStringList lastChoices;                  // the answers the last Choose offered
    std::deque<QStringList> openManyAnswers;  // several files picked at once
    std::function<int(QDialog&)> onModal;
    int modalCount = 0;

    // What the last open and folder dialogs were asked.
    QString lastOpenTitle, lastOpenFolder, lastFolderTitle, lastFolderInitial;
    QList<platform::FileFilter> lastOpenFilters;
    unsigned lastFolderFlags = 0;

    QString LastText() const { return messages.empty() ? QString() : messages.back().text; }
};
