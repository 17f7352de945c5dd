#include "app/window/ThemeEngine.h"

#include "app/preferences/Preferences.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace {
QPalette makePalette(QColor window, QColor base, QColor text, QColor button, QColor highlight, QColor alternate)
{
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, alternate);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, text.lighter(160));
    p.setColor(QPalette::Light, button.lighter(130));
    p.setColor(QPalette::Midlight, button.lighter(115));
    p.setColor(QPalette::Mid, button.darker(130));
    p.setColor(QPalette::Dark, button.darker(160));
    p.setColor(QPalette::Shadow, button.darker(250));
    const QColor disabledText = window.lightness() > 128 ? QColor(150, 150, 150) : QColor(110, 110, 110);
    p.setColor(QPalette::Disabled, QPalette::Text, disabledText);
    p.setColor(QPalette::Disabled, QPalette::WindowText, disabledText);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, disabledText);
    return p;
}
} // namespace

const QStringList &ThemeEngine::BuiltInNames()
{
    static const QStringList names{QStringLiteral("Светлая"), QStringLiteral("Серебристая"), QStringLiteral("Голубая"),
                                   QStringLiteral("Темная")};
    return names;
}

QPalette ThemeEngine::BuiltInPalette(int index)
{
    switch (index) {
    case 1:
        return makePalette(QColor(222, 224, 228), QColor(246, 247, 249), QColor(30, 30, 34), QColor(210, 213, 218),
                           QColor(84, 110, 150), QColor(232, 234, 238));
    case 2:
        return makePalette(QColor(220, 232, 245), QColor(248, 251, 255), QColor(16, 32, 56), QColor(200, 218, 238),
                           QColor(40, 100, 180), QColor(233, 241, 250));
    case 3:
        return makePalette(QColor(48, 50, 54), QColor(34, 36, 40), QColor(230, 230, 230), QColor(60, 63, 68),
                           QColor(60, 120, 200), QColor(44, 46, 50));
    default:
        return makePalette(QColor(240, 240, 240), QColor(255, 255, 255), QColor(0, 0, 0), QColor(232, 232, 232),
                           QColor(48, 120, 210), QColor(245, 245, 245));
    }
}

QColor ThemeEngine::ShiftColour(const QColor &colour, int brightness, int saturation)
{
    brightness = std::clamp(brightness, ThemeBrightnessMin, ThemeBrightnessMax);
    saturation = std::clamp(saturation, ThemeHueMin, ThemeHueMax);
    float h = 0, s = 0, l = 0, a = 0;
    colour.toHsl().getHslF(&h, &s, &l, &a);
    // Brightness moves the lightness part of the way towards white or black.
    const float shift = static_cast<float>(brightness) / 100.0f;
    l = shift >= 0 ? l + (1.0f - l) * shift : l * (1.0f + shift);
    s = s * static_cast<float>(saturation) / static_cast<float>(ThemeHueMax);
    QColor shifted = QColor::fromHslF(h < 0 ? 0 : h, std::clamp(s, 0.0f, 1.0f), std::clamp(l, 0.0f, 1.0f), a);
    return shifted.toRgb();
}

QPalette ThemeEngine::ShiftPalette(const QPalette &palette, int brightness, int saturation)
{
    if (brightness == 0 && saturation == ThemeHueMax)
        return palette;
    QPalette shifted = palette;
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            if (r == QPalette::NoRole)
                continue;
            shifted.setColor(g, r, ShiftColour(palette.color(g, r), brightness, saturation));
        }
    }
    return shifted;
}

void ThemeEngine::SetThemeByIndex(int newIndex)
{
    // A number that names no built-in theme gives the default one, as the palette does.
    index = newIndex >= 0 && newIndex < static_cast<int>(BuiltInNames().size()) ? newIndex : 0;
    fromFile = false;
    file.clear();
    styleSheet.clear();
}

bool ThemeEngine::LoadThemeFile(const QString &path)
{
    // Only a plain file of style-sheet size: a device (/dev/zero) or a huge
    // file would never finish reading, a folder cannot be read at all.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || info.size() > MaxThemeFileBytes)
        return false;
    QFile sheet(path);
    if (!sheet.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = sheet.read(MaxThemeFileBytes + 1);
    if (bytes.size() > MaxThemeFileBytes || bytes.contains('\0'))
        return false;
    // A binary file is no style sheet; it would be applied as garbage.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        return false;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    styleSheet = text;
    file = path;
    fromFile = true;
    return true;
}

void ThemeEngine::SetBrightness(int value) { brightness = std::clamp(value, ThemeBrightnessMin, ThemeBrightnessMax); }

void ThemeEngine::SetSaturation(int value) { saturation = std::clamp(value, ThemeHueMin, ThemeHueMax); }

QPalette ThemeEngine::CurrentPalette() const
{
    // A style sheet draws over the light palette.
    return ShiftPalette(BuiltInPalette(fromFile ? 0 : index), brightness, saturation);
}

void ThemeEngine::Apply() const
{
    QApplication::setPalette(CurrentPalette());
    qApp->setStyleSheet(fromFile ? styleSheet : QString());
}

QStringList ThemeEngine::ThemeFilesIn(const QString &folder)
{
    QStringList paths;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.qss")}, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}
