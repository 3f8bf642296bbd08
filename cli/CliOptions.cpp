#include "cli/CliOptions.h"

#include <cmath>

#include "cli/JobCount.h"

namespace {

const char kUseDevices[] = "use 3GP, PSP, IPOD, PDA or MP4";

double SecondsOf(const QString& option, const QString& text) {
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || seconds < 0 || !std::isfinite(seconds))
        throw CliUsageError(
            QStringLiteral("%1 wants a number of seconds, not \"%2\"").arg(option, text));
    return seconds;
}

// --jobs: "auto" (0) or a whole number of files at once.
int JobsOf(const QString& text) {
    if (text.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0)
        return 0;
    bool ok = false;
    const int jobs = text.toInt(&ok);
    if (!ok || jobs < 1 || jobs > kMaxJobs) {
        throw CliUsageError(
            QStringLiteral("--jobs wants auto or a whole number from 1 to %1, not \"%2\"")
                .arg(kMaxJobs)
                .arg(text));
    }
    return jobs;
}

// The family a --device value names by its catalog section, in any letter case.
DeviceType DeviceByName(const QString& name) {
    for (int device = Dev3GP; device <= DevMP4; ++device) {
        if (name.compare(FindDevice(device)->section, Qt::CaseInsensitive) == 0)
            return DeviceType(device);
    }
    return DevNone;
}

}  // namespace

CliOptions ParseCliArguments(const QStringList& arguments) {
    CliOptions options;
    bool listProfiles = false;
    bool filesOnly = false;
    for (int i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (filesOnly || !argument.startsWith(QLatin1String("--"))) {
            options.files.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            filesOnly = true;
            continue;
        }
        // "--name=value" is read as "--name value".
        QString inlineValue;
        bool hasInline = false;
        if (const qsizetype equals = argument.indexOf('='); equals > 0) {
            inlineValue = argument.mid(equals + 1);
            argument.truncate(equals);
            hasInline = true;
        }
        const auto value = [&]() -> QString {
            if (hasInline)
                return inlineValue;
            if (i + 1 >= arguments.size())
                throw CliUsageError(QStringLiteral("%1 needs a value").arg(argument));
            return arguments[++i];
        };
        if (argument == QLatin1String("--help")) {
            options.action = CliAction::Help;
            return options;
        } else if (argument == QLatin1String("--version")) {
            options.action = CliAction::Version;
            return options;
        } else if (argument == QLatin1String("--device")) {
            const QString name = value();
            options.device = DeviceByName(name);
            if (options.device == DevNone) {
                throw CliUsageError(
                    QStringLiteral("unknown device \"%1\": %2").arg(name, kUseDevices));
            }
        } else if (argument == QLatin1String("--profile")) {
            options.profile = value();
        } else if (argument == QLatin1String("--output")) {
            options.outputFolder = value();
        } else if (argument == QLatin1String("--set")) {
            const QString setting = value();
            const qsizetype equals = setting.indexOf('=');
            if (equals <= 0)
                throw CliUsageError(
                    QStringLiteral("--set wants NAME=VALUE, not \"%1\"").arg(setting));
            options.settings.emplace_back(setting.left(equals), setting.mid(equals + 1));
        } else if (argument == QLatin1String("--start")) {
            options.start = SecondsOf(argument, value());
        } else if (argument == QLatin1String("--end")) {
            options.end = SecondsOf(argument, value());
        } else if (argument == QLatin1String("--overwrite")) {
            options.overwrite = true;
        } else if (argument == QLatin1String("--dry-run")) {
            options.dryRun = true;
        } else if (argument == QLatin1String("--jobs")) {
            options.jobs = JobsOf(value());
        } else if (argument == QLatin1String("--json")) {
            options.json = true;
        } else if (argument == QLatin1String("--list-profiles")) {
            listProfiles = true;
        } else if (argument == QLatin1String("--restore-catalog")) {
            options.restoreCatalog = true;
        } else {
            throw CliUsageError(QStringLiteral("unknown option %1 (see --help)").arg(argument));
        }
    }
    if (listProfiles) {
        options.action = CliAction::ListProfiles;
        return options;
    }
    if (options.restoreCatalog && options.device == DevNone && options.files.isEmpty()) {
        options.action = CliAction::RestoreCatalog;
        return options;
    }
    if (options.device == DevNone)
        throw CliUsageError(QStringLiteral("--device is missing: ") + kUseDevices);
    if (options.files.isEmpty())
        throw CliUsageError(QStringLiteral("no file to convert"));
    // An end alone counts from the beginning: --end 0 leaves nothing, as --start 0 --end 0 does.
    if (options.end && options.start.value_or(0) >= *options.end) {
        throw CliUsageError(QStringLiteral("--start %1 is not before --end %2")
                                .arg(options.start.value_or(0))
                                .arg(*options.end));
    }
    return options;
}

QString CliHelpText() {
    return QStringLiteral(
        "Usage: qor-convert --device 3GP|PSP|IPOD|PDA|MP4 [OPTION]... FILE...\n"
        "  or:  qor-convert --list-profiles [--device DEVICE]\n"
        "  or:  qor-convert --restore-catalog\n"
        "Convert video files for a portable player with the profiles and the engine of\n"
        "Qor Converter.\n"
        "\n"
        "  --device DEVICE       the player family: 3GP, PSP, IPOD, PDA or MP4\n"
        "  --profile PROFILE     a profile by its number or its name (see --list-profiles);\n"
        "                        default: the family's default profile\n"
        "  --output DIR          where the converted files go; default: the family's folder\n"
        "                        under the output root the converter window uses\n"
        "  --set NAME=VALUE      change one setting of the profile: video-codec, resolution,\n"
        "                        letterbox, frame-rate, video-kbps, audio-kbps, sample-rate,\n"
        "                        channels, volume, file-type\n"
        "  --start SECONDS       convert from this moment of each file\n"
        "  --end SECONDS         convert up to this moment of each file\n"
        "  --overwrite           replace existing files; otherwise such a file is kept and\n"
        "                        its source counts as failed\n"
        "  --dry-run             print each file's engine arguments, one per line, and\n"
        "                        convert nothing\n"
        "  --jobs N|auto         convert N files at once (1 to 64); auto, the default,\n"
        "                        picks one per core for outputs up to 320x240 and fewer\n"
        "                        for larger ones, within the memory available\n"
        "  --json                report progress as one JSON object per line\n"
        "  --list-profiles       list the built-in and custom profiles with their settings\n"
        "  --restore-catalog     when your copy of the profile catalog is damaged, go back\n"
        "                        to the installed one (the damaged file is kept beside it)\n"
        "  --help                show this help and exit\n"
        "  --version             show the version and exit\n"
        "\n"
        "Exit status: 0 every file converted, 1 some failed, 2 a usage or profile error\n"
        "(nothing converted), 130 interrupted by a signal or a closed output (the running\n"
        "files are finalised and kept).\n");
}
