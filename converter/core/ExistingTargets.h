// The targets of a job that exist already, asked about once before the job starts: replace
// them, keep both (the new outputs numbered as namesakes are), or skip those rows. One answer
// holds for the whole job.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

enum class ExistingTargetsAnswer { Replace, KeepBoth, Skip, Cancel };

// The answers as the question's buttons show them, in ExistingTargetsAnswer's order.
QStringList ExistingTargetsChoices();

// The question naming the existing targets (up to ten, then how many more) in `folder`.
QString ExistingTargetsQuestion(const QStringList& names, const QString& folder);

// The answer of the button picked (-1: Cancel).
ExistingTargetsAnswer ExistingTargetsAnswerOf(int choice);

// The positions of `targets` (file names in `folder`) that exist there.
std::vector<int> ExistingTargets(const QStringList& targets, const QString& folder,
                                 const std::function<bool(const QString&)>& exists);

// "Keep both": the target names with each existing one at `existing` numbered as a namesake
// ("clip (2).MP4"), free of every other target of the job and of every file in the folder.
QStringList KeepBothTargets(const QStringList& targets, const std::vector<int>& existing,
                            const QString& folder,
                            const std::function<bool(const QString&)>& exists);
