#include "media/core/MediaFormats.h"

const std::vector<MediaFormat>& MediaFormats() {
    // The formats the spoken-of players' owners meet: disc and camera files, downloads,
    // recordings of television, and sound files (the engine gives them a black picture).
    static const std::vector<MediaFormat> formats = {
        {"mpg", "video/mpeg"},
        {"mpeg", "video/mpeg"},
        {"mpe", "video/mpeg"},
        {"m1v", "video/mpeg"},
        {"m2v", "video/mpeg"},
        {"vob", "video/mpeg"},
        {"dat", "video/mpeg"},
        {"avi", "video/x-msvideo"},
        {"divx", "video/x-msvideo"},
        {"xvid", "video/x-msvideo"},
        {"wmv", "video/x-ms-wmv"},
        {"asf", "video/x-ms-asf"},
        {"swf", "application/x-shockwave-flash"},
        {"flv", "video/x-flv"},
        {"f4v", "video/x-f4v"},
        {"mov", "video/quicktime"},
        {"qt", "video/quicktime"},
        {"mp4", "video/mp4"},
        {"m4v", "video/x-m4v"},
        {"3gp", "video/3gpp"},
        {"3g2", "video/3gpp2"},
        {"mkv", "video/x-matroska"},
        {"webm", "video/webm"},
        {"ogv", "video/ogg"},
        {"ogm", "video/x-ogm+ogg"},
        {"ts", "video/mp2t"},
        {"mts", "video/mp2t"},
        {"m2ts", "video/mp2t"},
        {"dv", "video/dv"},
        {"rm", "application/vnd.rn-realmedia"},
        {"rmvb", "application/vnd.rn-realmedia-vbr"},
        {"nut", "video/x-nut"},
        {"mxf", "application/mxf"},
        {"mp3", "audio/mpeg"},
        {"m4a", "audio/mp4"},
        {"aac", "audio/aac"},
        {"wav", "audio/x-wav"},
        {"ogg", "audio/ogg"},
        {"oga", "audio/ogg"},
        {"flac", "audio/flac"},
        {"wma", "audio/x-ms-wma"},
    };
    return formats;
}

QString MediaFilePatterns() {
    QStringList patterns;
    for (const MediaFormat& format : MediaFormats())
        patterns.append(QStringLiteral("*.") + QLatin1String(format.extension));
    return patterns.join(';');
}

QStringList MediaMimeTypes() {
    QStringList types;
    for (const MediaFormat& format : MediaFormats()) {
        const QString type = QLatin1String(format.mimeType);
        if (!types.contains(type))
            types.append(type);
    }
    return types;
}
