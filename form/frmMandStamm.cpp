#include "form/frmMandStamm.h"
#include "component/Modul.h"
#include "platform/Datenquelle.h"
#include "services/DbVerbindung.h"

using namespace xov;

frmMandStamm::frmMandStamm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmMandStamm"));
    setWindowTitle(QStringLiteral("Mandanten-Stammdaten"));
    MAData = new Datenquelle(QStringLiteral("MAData"), this);
    FAData = new Datenquelle(QStringLiteral("FAData"), this);
    KKData = new Datenquelle(QStringLiteral("KKData"), this);
    MAData->setDatabaseName(modul().MandDbPfad);
    FAData->setDatabaseName(modul().FaDbPfad);
    KKData->setDatabaseName(modul().MandDbPfad);
    Set_DBConnect(this);
}

frmMandStamm::~frmMandStamm() = default;
