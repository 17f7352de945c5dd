#pragma once

#include <QColor>
#include <QPalette>
#include <QString>
#include <QStringList>

// The program's look: a built-in palette (index 0 is the light one) or a
// style sheet file, with a lightness shift (-100..100, 0 unchanged) and a
// saturation scale (0..250, 250 unchanged) over the palette.
class ThemeEngine {
public:
    static const QStringList &BuiltInNames();
    static QPalette BuiltInPalette(int index); // out of range gives index 0
    // One colour with both shifts applied.
    static QColor ShiftColour(const QColor &colour, int brightness, int saturation);
    static QPalette ShiftPalette(const QPalette &palette, int brightness, int saturation);

    // An index that names no built-in theme gives theme 0.
    void SetThemeByIndex(int index);
    // Largest theme file taken; style sheets are a few kilobytes.
    static constexpr qint64 MaxThemeFileBytes = 1024 * 1024;
    // False, and the theme left as it was, when the file cannot be read or
    // is no style sheet: not a plain file, larger than MaxThemeFileBytes,
    // or not UTF-8 text.
    bool LoadThemeFile(const QString &path);
    void SetBrightness(int brightness);
    void SetSaturation(int saturation);

    bool FromFile() const { return fromFile; }
    int Index() const { return index; }
    const QString &File() const { return file; }
    int Brightness() const { return brightness; }
    int Saturation() const { return saturation; }

    QPalette CurrentPalette() const;
    // Puts the palette and style sheet in effect for the whole application.
    void Apply() const;

    // The style sheets offered from a themes folder, full paths, sorted.
    static QStringList ThemeFilesIn(const QString &folder);

private:
    bool fromFile = false;
    int index = 0;
    QString file;
    QString styleSheet;
    int brightness = 0;
    int saturation = 250;
};
