#include "app/StartArguments.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "app/TChooseMain.h"
#include "converter/Txconverter.h"

namespace {

DeviceType FamilyByName(const QString& name) {
    for (int device = Dev3GP; device <= DevMP4; ++device) {
        if (FindDevice(device)->section.compare(name, Qt::CaseInsensitive) == 0)
            return DeviceType(device);
    }
    return DevNone;
}

QString AbsolutePath(const QString& argument) {
    const QString path = argument.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)
                             ? QUrl(argument).toLocalFile()
                             : argument;
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

}  // namespace

StartRequest ParseStartArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Converts videos for portable players."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption device(
        QStringLiteral("device"),
        QStringLiteral("Opens the converter for <family>: 3GP, PSP, IPOD, PDA or MP4."),
        QStringLiteral("family"));
    parser.addOption(device);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Media files or folders to list."),
                                 QStringLiteral("[FILE...]"));

    StartRequest request;
    if (!parser.parse(arguments)) {
        request.exitNow = true;
        request.exitCode = 2;
        request.output = parser.errorText() + '\n' + parser.helpText();
        return request;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        request.exitNow = true;
        request.output = parser.isSet(help) ? parser.helpText()
                                            : QCoreApplication::applicationName() + ' ' +
                                                  QCoreApplication::applicationVersion() + '\n';
        return request;
    }
    if (parser.isSet(device)) {
        request.device = FamilyByName(parser.value(device));
        if (request.device == DevNone) {
            request.exitNow = true;
            request.exitCode = 2;
            request.output = QStringLiteral(
                                 "Unknown device family '%1': use 3GP, PSP, IPOD, PDA "
                                 "or MP4.\n")
                                 .arg(parser.value(device));
            return request;
        }
    }
    for (const QString& file : parser.positionalArguments())
        request.files.append(AbsolutePath(file));
    return request;
}

void ApplyStartRequest(const StartRequest& request, TChooseMain& launcher, Txconverter& converter) {
    converter.FilesToAdd = request.files;
    switch (request.device) {
        case Dev3GP:
            launcher.Btn3GPClick(nullptr);
            break;
        case DevPSP:
            launcher.BtnPSPClick(nullptr);
            break;
        case DevIPOD:
            launcher.BtnIPODClick(nullptr);
            break;
        case DevPDA:
            launcher.BtnPDAClick(nullptr);
            break;
        case DevMP4:
            launcher.BtnMP4Click(nullptr);
            break;
        case DevNone:
            launcher.show();
            break;
    }
}
