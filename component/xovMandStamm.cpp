#include "component/xovMandStamm.h"
#include "component/Aufrufinformation.h"
#include "form/frmMandStamm.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"
#include "services/Verbindungsvorrat.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

using namespace xov;

namespace {

const QVariant& element(const QVariantList& info, int i) {
    if (i < 0 || i >= info.size()) fehlerWerfen(FehlerNr::IndexAusserhalb, QStringLiteral("Info(%1)").arg(i));
    return info.at(i);
}

// A host without Qt gets an application object; every host gets German standard buttons.
void anwendungVorbereiten() {
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "xovMandStamm";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    static bool uebersetzt = false;
    if (!uebersetzt) {
        auto* t = new QTranslator(QApplication::instance());
        if (t->load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QApplication::installTranslator(t);
        uebersetzt = true;
    }
}

}  // namespace

// The start mode the host asked for; it is shared by all instances and kept between calls
// until the dialog has honoured the value 7. Nothing else of a call survives it.
namespace {
qint32 s_tabStripNr = 0;
}

xovMandStamm::xovMandStamm(QObject* parent) : QObject(parent) {}

xovMandStamm::~xovMandStamm() = default;

qint32 xovMandStamm::TabStripNr() const { return s_tabStripNr; }
void xovMandStamm::setTabStripNr(qint32 wert) { s_tabStripNr = wert; }

namespace xov {
Aufruf aufrufUebernehmen(const QVariantList& Info) {
    Aufruf m;
    m.MandDbPfad = alsText(element(Info, 0));
    m.FaDbPfad = alsText(element(Info, 1));
    m.KontoJahr = alsInt16(element(Info, 11));
    m.OhneIndexBez = alsInt16(element(Info, 2));
    m.AuswahlMonStatus = alsDatum(element(Info, 5));
    alsText(element(Info, 20));  // read only later; a value that is no text fails the call now
    m.AufrufInfo[4] = element(Info, 4);
    m.Eingeschraenkt = gleichZahl(element(Info, 9), 20);
    for (int i = 0; i <= 99; ++i) m.AufrufInfo[i] = element(Info, i);
    m.AufrufInfo[0] = m.MandDbPfad;
    alsInt16(m.AufrufInfo.at(10));  // likewise: element 10 must be a small whole number
    m.FormBereit = false;
    return m;
}
}  // namespace xov

void xovMandStamm::Mand_Aufruf(const QVariantList& Info) {
    m_fehlerNr = 0;
    m_fehlerBeschreibung.clear();
    Aufruf aufruf;
    try {
        aufruf = aufrufUebernehmen(Info);
    } catch (const Fehler& f) {
        m_fehlerNr = f.nummer();
        m_fehlerBeschreibung = f.beschreibung();
        if (m_fehlerWerfen) throw;
        return;
    }
    anwendungVorbereiten();
    aufruf.TabStripNr = s_tabStripNr;
    frmMandStamm form(aufruf);
    const Vorratsnutzung vorrat(&form);  // the connections of the last call, checked, if still good
    form.Form_Load();
    s_tabStripNr = aufruf.TabStripNr;  // 0 once the start mode 7 was honoured
    form.exec();
}
