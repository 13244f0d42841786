// Offers the component itself to hosts that create it by class name or class id. Such a host
// calls through the meta-object, so the call's failures are kept for it to read, never thrown.

#include "component/xovMandStamm.h"
#include "platform/Schnittstellen.h"

class MandStammFabrik : public QObject, public xov::KomponentenFabrik {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID XovKomponentenFabrik_iid FILE "xopMandStamm.json")
    Q_INTERFACES(xov::KomponentenFabrik)
public:
    QObject* erzeugen(const QString&) override {
        auto* k = new xovMandStamm;
        k->setFehlerWerfen(false);
        return k;
    }
};

#include "Plugin.moc"
