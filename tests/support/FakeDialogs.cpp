#include "support/FakeDialogs.h"

FakeDialogs::FakeDialogs() {
    platform::SetDialogs(this);
}

FakeDialogs::~FakeDialogs() {
    platform::SetDialogs(nullptr);
}

void FakeDialogs::MessageBox(QWidget*, const QString& text, const QString& caption,
                             platform::BoxIcon icon) {
    messages.push_back({text, caption, icon});
}

std::optional<QString> FakeDialogs::OpenFile(QWidget*, const QString& title,
                                             const QString& initialFolder,
                                             const QList<platform::FileFilter>& filters) {
    lastOpenTitle = title;
    lastOpenFolder = initialFolder;
    lastOpenFilters = filters;
    if (openAnswers.empty())
        return std::nullopt;
    auto answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

QStringList FakeDialogs::OpenFiles(QWidget* owner, const QString& title,
                                   const QString& initialFolder,
                                   const QList<platform::FileFilter>& filters) {
    if (openManyAnswers.empty())
        return Dialogs::OpenFiles(owner, title, initialFolder, filters);
    lastOpenTitle = title;
    lastOpenFolder = initialFolder;
    lastOpenFilters = filters;
    const QStringList answer = openManyAnswers.front();
    openManyAnswers.pop_front();
    return answer;
}

std::optional<QString> FakeDialogs::BrowseForFolder(QWidget*, const QString& title, unsigned flags,
                                                    const QString& initialFolder) {
    lastFolderTitle = title;
    lastFolderInitial = initialFolder;
    lastFolderFlags = flags;
    if (folderAnswers.empty())
        return std::nullopt;
    auto answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

int FakeDialogs::ExecModal(QDialog& dialog) {
    ++modalCount;
    return onModal ? onModal(dialog) : 0;
}

int FakeDialogs::Choose(QWidget*, const QString& text, const QString&, const QStringList& answers) {
    questions.push_back(text);
    lastChoices = answers;
    if (chooseAnswers.empty())
        return -1;
    const int answer = chooseAnswers.front();
    chooseAnswers.pop_front();
    return answer;
}

bool FakeDialogs::Ask(QWidget*, const QString& text, const QString&) {
    questions.push_back(text);
    if (askAnswers.empty())
        return false;
    const bool answer = askAnswers.front();
    askAnswers.pop_front();
    return answer;
}
