// The command line of qor-convert: what it asks for, read from the arguments before anything is
// loaded. A usage error raises CliUsageError with one plain line naming the problem.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "profiles/core/DeviceTable.h"

// A problem with the command line or the chosen profile and settings: nothing is converted and
// the program ends with status 2.
class CliUsageError : public std::runtime_error {
public:
    explicit CliUsageError(const QString& problem) : std::runtime_error(problem.toStdString()) {}
};

enum class CliAction { Convert, ListProfiles, RestoreCatalog, Help, Version };

struct CliOptions {
    CliAction action = CliAction::Convert;
    DeviceType device = DevNone;
    QString profile;       // a name or a number as given; empty: the family's default profile
    QString outputFolder;  // empty: the family's default folder
    std::vector<std::pair<QString, QString>> settings;  // --set NAME=VALUE, in order
    std::optional<double> start;                        // seconds
    std::optional<double> end;
    bool overwrite = false;
    bool dryRun = false;
    bool json = false;
    bool restoreCatalog = false;  // a damaged catalog of the user's: back to the installed one
    int jobs = 0;                 // files converted at once, 1..kMaxJobs; 0: "auto"
    QStringList files;
};

// Reads the arguments after the program name. Raises CliUsageError for an unknown option or
// device, a missing value, a --set without "=", --jobs other than "auto" or a whole number from
// 1 to kMaxJobs, a time that is not a number of seconds, a start
// not before the end, no file to convert, or no --device where one is needed.
CliOptions ParseCliArguments(const QStringList& arguments);

// What --help prints.
QString CliHelpText();
