#include "app/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <utility>

#include "platform/qt_text.h"

namespace {

// The file's layout; a later program that changes it knows the old one by this.
constexpr int kLayout = 1;

QString cellKey(const char* column, std::size_t row) {
    return QStringLiteral("doubleStar/%1%2").arg(QLatin1String(column)).arg(row);
}

// A text as the file holds it; a value the file holds as a list ("1,5" typed by hand, without
// quotes) is the text it was.
std::string text(const QSettings& file, const QString& key, const std::string& fallback) {
    const QVariant value = file.value(key);
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    }
    if (value.typeId() != QMetaType::QString) return fallback;
    return value.toString().toStdString();
}

QString fileName(const QSettings& file, const QString& key) {
    const QVariant value = file.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

bool flag(const QSettings& file, const QString& key, bool fallback) {
    const QString value = file.value(key).toString().trimmed().toLower();
    if (value == QLatin1String("true")) return true;
    if (value == QLatin1String("false")) return false;
    return fallback;
}

int bar(const QSettings& file, const QString& key, int fallback, int lowest, int highest) {
    bool ok = false;
    const int value = file.value(key).toString().toInt(&ok);
    return ok ? std::clamp(value, lowest, highest) : fallback;
}

QByteArray place(const QSettings& file, const QString& key) {
    const QVariant value = file.value(key);
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

void loadControls(const QSettings& file, WindowSettings& settings) {
    ControlTexts& c = settings.controls;
    c.width = text(file, QStringLiteral("main/width"), c.width);
    c.height = text(file, QStringLiteral("main/height"), c.height);
    c.starSize = text(file, QStringLiteral("main/starSize"), c.starSize);
    c.areaMin = text(file, QStringLiteral("main/areaMin"), c.areaMin);
    c.areaMax = text(file, QStringLiteral("main/areaMax"), c.areaMax);
    c.grey = text(file, QStringLiteral("main/grey"), c.grey);
    c.subPixel = flag(file, QStringLiteral("main/subPixel"), c.subPixel);
    c.autoClear = flag(file, QStringLiteral("main/autoClear"), c.autoClear);
    settings.starSizeBar =
        bar(file, QStringLiteral("main/starSizeBar"), settings.starSizeBar, 1, 60);
    settings.greyBar = bar(file, QStringLiteral("main/greyBar"), settings.greyBar, 0, 255);
    settings.night = flag(file, QStringLiteral("main/night"), settings.night);
    settings.shapeMapGrid = bar(file, QStringLiteral("shapeMap/grid"), settings.shapeMapGrid, 1,
                                ShapeMap::kLargestGrid);
}

void loadThresholds(const QSettings& file, ThresholdTable& table) {
    for (std::size_t row = 0; row < AreaClass::kCount; ++row) {
        table.circularity[row] = text(file, cellKey("circularity", row), table.circularity[row]);
        table.areaRatio[row] = text(file, cellKey("areaRatio", row), table.areaRatio[row]);
        table.circleOccupancy[row] =
            text(file, cellKey("circleOccupancy", row), table.circleOccupancy[row]);
    }
    table.radialAngleCorrection =
        text(file, QStringLiteral("doubleStar/radialAngleCorrection"), table.radialAngleCorrection);
    table.andSelected = flag(file, QStringLiteral("doubleStar/and"), table.andSelected);
}

void saveSettings(QSettings& file, const WindowSettings& settings) {
    const ControlTexts& c = settings.controls;
    file.setValue(QStringLiteral("main/width"), qtText(c.width));
    file.setValue(QStringLiteral("main/height"), qtText(c.height));
    file.setValue(QStringLiteral("main/starSize"), qtText(c.starSize));
    file.setValue(QStringLiteral("main/starSizeBar"), settings.starSizeBar);
    file.setValue(QStringLiteral("main/areaMin"), qtText(c.areaMin));
    file.setValue(QStringLiteral("main/areaMax"), qtText(c.areaMax));
    file.setValue(QStringLiteral("main/grey"), qtText(c.grey));
    file.setValue(QStringLiteral("main/greyBar"), settings.greyBar);
    file.setValue(QStringLiteral("main/subPixel"), c.subPixel);
    file.setValue(QStringLiteral("main/autoClear"), c.autoClear);
    file.setValue(QStringLiteral("main/night"), settings.night);
    file.setValue(QStringLiteral("shapeMap/grid"), settings.shapeMapGrid);
    const ThresholdTable& table = settings.thresholds;
    for (std::size_t row = 0; row < AreaClass::kCount; ++row) {
        file.setValue(cellKey("circularity", row), qtText(table.circularity[row]));
        file.setValue(cellKey("areaRatio", row), qtText(table.areaRatio[row]));
        file.setValue(cellKey("circleOccupancy", row), qtText(table.circleOccupancy[row]));
    }
    file.setValue(QStringLiteral("doubleStar/radialAngleCorrection"),
                  qtText(table.radialAngleCorrection));
    file.setValue(QStringLiteral("doubleStar/and"), table.andSelected);
}

}  // namespace

SettingsStore::SettingsStore(QString path) : path_(std::move(path)) {}

QString SettingsStore::userPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quendra/quendra.conf");
}

SettingsStore::Session SettingsStore::load() const {
    Session session;
    if (!QFileInfo::exists(path_)) return session;
    const QSettings file(path_, QSettings::IniFormat);
    loadControls(file, session.settings);
    loadThresholds(file, session.settings.thresholds);
    session.starFile = fileName(file, QStringLiteral("files/star"));
    session.dialogFile = fileName(file, QStringLiteral("files/dialog"));
    session.mainPlace = place(file, QStringLiteral("windows/main"));
    session.doubleStarPlace = place(file, QStringLiteral("windows/doubleStar"));
    session.viewerPlace = place(file, QStringLiteral("windows/viewer"));
    session.frameListPlace = place(file, QStringLiteral("windows/frameList"));
    session.shapeMapPlace = place(file, QStringLiteral("windows/shapeMap"));
    return session;
}

bool SettingsStore::save(const Session& session) const {
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) return false;
    QSettings file(path_, QSettings::IniFormat);
    file.setValue(QStringLiteral("layout"), kLayout);
    saveSettings(file, session.settings);
    file.setValue(QStringLiteral("files/star"), session.starFile);
    file.setValue(QStringLiteral("files/dialog"), session.dialogFile);
    file.setValue(QStringLiteral("windows/main"), session.mainPlace);
    file.setValue(QStringLiteral("windows/doubleStar"), session.doubleStarPlace);
    file.setValue(QStringLiteral("windows/viewer"), session.viewerPlace);
    file.setValue(QStringLiteral("windows/frameList"), session.frameListPlace);
    file.setValue(QStringLiteral("windows/shapeMap"), session.shapeMapPlace);
    file.sync();
    return file.status() == QSettings::NoError;
}
