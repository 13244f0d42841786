#pragma once
// Enlarging the dialog on larger screens by the per-user settings file XOV-Settings.ini:
// "Skalieren" in [Section1] switches it on, "SkFaktor" in [Section2] gives the setting from
// which, with the screen width, one factor is derived.

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace xov {

// What a scaling found: the screen, the settings file and the factor (0: not scaled).
struct Skalierung {
    qint16 BildschirmBreite = 0;
    qint16 BildschirmHoehe = 0;
    QString IniPfad;
    float Faktor = 0;
};

// Reads one value like the private-profile function: sections and keys without regard to case,
// "" when missing, at most 31 characters.
QString IniLesen(const QString& pfad, const QString& abschnitt, const QString& schluessel);
// The folder from USERPROFILE, or the home folder where it is unset, plus "XOV-Settings.ini".
QString iniPfad();

// The factor for a "Skalieren" and "SkFaktor" text on a screen of the width; nullopt: no scaling.
std::optional<float> faktorBerechnen(const QString& skalieren, const QString& skFaktor, int breite);

// Multiplies the form's size and position, its fonts and the grid columns by the factor of the
// user's settings and the width of the screen the form is on (the primary screen where it has none). Ignores every failure; returns what it found. `vorher` runs once the form is
// to be scaled, before its controls are gathered (a form that builds controls on demand builds them).
Skalierung FormSkalieren(QWidget* form, bool geometrie, bool schrift, const std::function<void()>& vorher = {});

}  // namespace xov
