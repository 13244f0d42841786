#include "component/xovMandStamm.h"
#include "component/Modul.h"
#include "form/frmMandStamm.h"
#include "platform/Fehler.h"
#include "platform/Variant.h"

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

xovMandStamm::xovMandStamm(QObject* parent) : QObject(parent) {
    // Every new instance empties the call information of an earlier call.
    modul().AufrufInfo = QVariantList(101);
}

xovMandStamm::~xovMandStamm() = default;

qint32 xovMandStamm::TabStripNr() const { return modul().TabStripNr; }
void xovMandStamm::setTabStripNr(qint32 wert) { modul().TabStripNr = wert; }

namespace xov {
void aufrufUebernehmen(const QVariantList& Info) {
    Modulzustand& m = modul();
    m.MandDbPfad = alsText(element(Info, 0));
    m.FaDbPfad = alsText(element(Info, 1));
    m.KontoJahr = alsInt16(element(Info, 11));
    m.OhneIndexBez = alsInt16(element(Info, 2));
    m.AuswahlMonStatus = alsDatum(element(Info, 5));
    alsText(element(Info, 20));
    if (m.AufrufInfo.size() != 101) m.AufrufInfo = QVariantList(101);
    m.AufrufInfo[4] = element(Info, 4);
    m.Eingeschraenkt = gleichZahl(element(Info, 9), 20);
    for (int i = 0; i <= 99; ++i) m.AufrufInfo[i] = element(Info, i);
    m.AufrufInfo[0] = m.MandDbPfad;
    alsInt16(m.AufrufInfo.at(10));
    m.FormBereit = false;
}
}  // namespace xov

void xovMandStamm::Mand_Aufruf(const QVariantList& Info) {
    m_fehlerNr = 0;
    m_fehlerBeschreibung.clear();
    try {
        aufrufUebernehmen(Info);
    } catch (const Fehler& f) {
        m_fehlerNr = f.nummer();
        m_fehlerBeschreibung = f.beschreibung();
        if (m_fehlerWerfen) throw;
        return;
    }
    anwendungVorbereiten();
    frmMandStamm form;
    form.Form_Load();
    form.exec();
}
