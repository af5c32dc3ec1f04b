#include "app/modSettings.h"

#include <QSettings>
#include <QStringList>
#include <array>
#include <charconv>
#include <cmath>

#include "engine/ZorixImgEngine.h"

namespace zorix {

float ColorAccuracy = 100.0f;
int32_t MaxPaletteSize = 0;
bool BestReduction = false;
bool ReductionDither = false;

namespace {

// Backslash-separated registry-style names become QSettings group paths.
QString StoreKey(const QString& name) {
    QString key = name;
    key.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return key;
}

QString TextUpToNul(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

// Binary values count as a 16-bit signed integer (little-endian).
QString BinaryText(const QByteArray& bytes) {
    if (bytes.size() < 2) {
        return bytes.isEmpty() ? QString() : QString::number(static_cast<int8_t>(bytes[0]));
    }
    const auto value = static_cast<int16_t>(static_cast<uint8_t>(bytes[0]) |
                                            (static_cast<uint8_t>(bytes[1]) << 8));
    return QString::number(value);
}

QString ValueAsText(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QString:
            return TextUpToNul(value.toString());
        case QMetaType::QStringList:
            // A hand-edited INI value with commas reads back as a list.
            return TextUpToNul(value.toStringList().join(QStringLiteral(", ")));
        case QMetaType::QByteArray:
            return BinaryText(value.toByteArray());
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return value.toString();
        default:
            return QString();
    }
}

QSettings::Scope ScopeOf(bool machineWide) {
    return machineWide ? QSettings::SystemScope : QSettings::UserScope;
}

}  // namespace

QString ReadSetting(const QString& name, const QString& defaultValue, bool machineWide) {
    QSettings store(ScopeOf(machineWide), kSettingsOrganization, kSettingsApplication);
    const QString key = StoreKey(name);
    // QSettings creates keys on demand, so one read covers both passes.
    QString text = ValueAsText(store.value(key));
    if (text.isEmpty() && !defaultValue.isEmpty()) {
        store.setValue(key, defaultValue);
        text = defaultValue;
    }
    return text;
}

void WriteSetting(const QString& name, const QString& value, bool machineWide) {
    QSettings store(ScopeOf(machineWide), kSettingsOrganization, kSettingsApplication);
    store.setValue(StoreKey(name), value);
}

bool IsNumeric(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

double NumericValue(const QString& text) {
    return IsNumeric(text) ? text.trimmed().toDouble() : 0.0;
}

double RoundHalfEven(double value) {
    // The default floating-point rounding mode rounds ties to even.
    return std::nearbyint(value);
}

QString NumberText(double value) {
    return QString::number(value, 'g', 15);
}

QString FloatText(float value) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
}

void LoadEngineOptions() {
    const QString accuracyText =
        ReadSetting(QStringLiteral("ColorAccuracy"), QStringLiteral("100"));
    double accuracy = NumericValue(accuracyText);
    if (!IsNumeric(accuracyText) || accuracy < quenda::kMinColorAccuracy ||
        accuracy > quenda::kMaxColorAccuracy) {
        accuracy = quenda::kMaxColorAccuracy;
    }
    ColorAccuracy = static_cast<float>(accuracy);

    const QString sizeText = ReadSetting(QStringLiteral("MaxPaletteSize"), QStringLiteral("0"));
    double size = NumericValue(sizeText);
    if (!IsNumeric(sizeText) || size < 0.0 || size > quenda::kMaxPaletteLimit) {
        size = 0.0;
    }
    MaxPaletteSize = static_cast<int32_t>(RoundHalfEven(size));

    const QString reduction =
        ReadSetting(QStringLiteral("Reduction"), QStringLiteral("classic")).trimmed();
    BestReduction = reduction.compare(QStringLiteral("best"), Qt::CaseInsensitive) == 0;
    ReductionDither =
        ReadSetting(QStringLiteral("Dither"), QStringLiteral("0")).trimmed() == QStringLiteral("1");
}

void HandEngineOptions(quenda::ZorixImgEngine& engine) {
    engine.setRLEColorAccuracy(ColorAccuracy);
    engine.setRLEMaxPalleteSize(MaxPaletteSize);
    engine.setRLEReductionMode(BestReduction ? quenda::RLEReduction::Best
                                             : quenda::RLEReduction::Classic);
    engine.setRLEDither(ReductionDither);
}

void SaveEngineOptions() {
    WriteSetting(QStringLiteral("ColorAccuracy"), FloatText(ColorAccuracy));
    WriteSetting(QStringLiteral("MaxPaletteSize"), QString::number(MaxPaletteSize));
    WriteSetting(QStringLiteral("Reduction"),
                 BestReduction ? QStringLiteral("best") : QStringLiteral("classic"));
    WriteSetting(QStringLiteral("Dither"),
                 ReductionDither ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace zorix
