#include "converter/core/ExistingTargets.h"

#include "media/core/MediaRows.h"

QStringList ExistingTargetsChoices() {
    return {QStringLiteral("Replace"), QStringLiteral("Keep both"),
            QStringLiteral("Skip these files")};
}

QString ExistingTargetsQuestion(const QStringList& names, const QString& folder) {
    constexpr int kShown = 10;
    QStringList lines;
    lines << (names.size() == 1
                  ? QStringLiteral("A file of this name exists already in %1:").arg(folder)
                  : QStringLiteral("%1 files of these names exist already in %2:")
                        .arg(names.size())
                        .arg(folder));
    for (int i = 0; i < names.size() && i < kShown; ++i)
        lines << QStringLiteral("  ") + names[i];
    if (names.size() > kShown)
        lines << QStringLiteral("  and %1 more").arg(names.size() - kShown);
    lines << QString()
          << QStringLiteral(
                 "Replace them, keep both (the new files numbered), or skip these "
                 "files?");
    return lines.join('\n');
}

ExistingTargetsAnswer ExistingTargetsAnswerOf(int choice) {
    switch (choice) {
        case 0:
            return ExistingTargetsAnswer::Replace;
        case 1:
            return ExistingTargetsAnswer::KeepBoth;
        case 2:
            return ExistingTargetsAnswer::Skip;
        default:
            return ExistingTargetsAnswer::Cancel;
    }
}

std::vector<int> ExistingTargets(const QStringList& targets, const QString& folder,
                                 const std::function<bool(const QString&)>& exists) {
    std::vector<int> found;
    for (int i = 0; i < targets.size(); ++i) {
        if (exists(folder + targets[i]))
            found.push_back(i);
    }
    return found;
}

QStringList KeepBothTargets(const QStringList& targets, const std::vector<int>& existing,
                            const QString& folder,
                            const std::function<bool(const QString&)>& exists) {
    QStringList names = targets;
    for (int position : existing) {
        // Taken: every other target of the job; a name whose file exists is tried past.
        QStringList taken = names;
        taken.removeAt(position);
        taken << targets[position];
        QString name = UniqueTargetName(targets[position], taken);
        while (exists(folder + name)) {
            taken << name;
            name = UniqueTargetName(targets[position], taken);
        }
        names[position] = name;
    }
    return names;
}
