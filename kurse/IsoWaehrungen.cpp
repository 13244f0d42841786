#include "kurse/IsoWaehrungen.h"

#include <unicode/uenum.h>
#include <unicode/ucurr.h>

#include <memory>

namespace xov {

namespace {

// Every code ICU lists, historic ones included. ucurr_isAvailable is not used: this ICU
// answers wrongly for some codes and dates.
QStringList codesVon(uint32_t art) {
    QStringList codes;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UEnumeration, decltype(&uenum_close)> liste(ucurr_openISOCurrencies(art, &status), &uenum_close);
    if (U_FAILURE(status) || !liste) return codes;
    int32_t laenge = 0;
    while (const char* code = uenum_next(liste.get(), &laenge, &status)) {
        if (U_FAILURE(status)) break;
        codes << QString::fromLatin1(code, laenge).toUpper();
    }
    codes.sort();
    return codes;
}

const QStringList& alleCodes() {
    static const QStringList codes = codesVon(UCURR_ALL);
    return codes;
}

}  // namespace

QString isoWaehrungsname(const QString& code) {
    const QString c = code.trimmed().toUpper();
    if (c.size() != 3 || !alleCodes().contains(c)) return {};
    const std::u16string iso = c.toStdU16String();
    UErrorCode status = U_ZERO_ERROR;
    UBool auswahl = false;
    int32_t laenge = 0;
    const UChar* name = ucurr_getName(iso.c_str(), "de_AT", UCURR_LONG_NAME, &auswahl, &laenge, &status);
    if (U_FAILURE(status) || !name || status == U_USING_DEFAULT_WARNING) return {};
    const QString text = QString::fromUtf16(name, laenge);
    return text == c ? QString() : text;
}

const QStringList& isoWaehrungen() {
    static const QStringList liste = [] {
        QStringList l;
        for (const QString& c : codesVon(UCURR_COMMON | UCURR_NON_DEPRECATED)) {
            const QString name = isoWaehrungsname(c);
            l << (name.isEmpty() ? c : c + QStringLiteral(" – ") + name);
        }
        return l;
    }();
    return liste;
}

}  // namespace xov
