#include "platform/Komponenten.h"
#include "platform/Fehler.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>

#include <dlfcn.h>

namespace xov {
namespace {

QString& gesetzterOrdner() {
    static QString ordner;
    return ordner;
}

QString eigenerOrdner() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&pluginOrdner), &info) && info.dli_fname)
        return QFileInfo(QFile::decodeName(info.dli_fname)).absolutePath();
    return QDir::currentPath();
}

QString ohneKlammern(QString s) {
    s = s.trimmed();
    if (s.startsWith(QLatin1Char('{')) && s.endsWith(QLatin1Char('}'))) s = s.mid(1, s.size() - 2);
    return s;
}

bool passt(const QJsonObject& k, const QString& kennung) {
    const QString progId = k.value(QLatin1String("ProgId")).toString();
    const QString klasse = progId.section(QLatin1Char('.'), -1);
    return progId.compare(kennung, Qt::CaseInsensitive) == 0 || klasse.compare(kennung, Qt::CaseInsensitive) == 0 ||
           ohneKlammern(k.value(QLatin1String("ClassId")).toString()).compare(ohneKlammern(kennung), Qt::CaseInsensitive) == 0;
}

}  // namespace

QString pluginOrdner() {
    if (!gesetzterOrdner().isEmpty()) return gesetzterOrdner();
    const QString umgebung = qEnvironmentVariable("XOV_PLUGINS");
    if (!umgebung.isEmpty()) return umgebung;
    return eigenerOrdner() + QLatin1Char('/') + QLatin1String(XOV_PLUGIN_UNTERORDNER);
}

void setzePluginOrdner(const QString& ordner) { gesetzterOrdner() = ordner; }

std::unique_ptr<QObject> komponenteErzeugen(const QString& kennung) {
    const QDir ordner(pluginOrdner());
    for (const QFileInfo& datei : ordner.entryInfoList({QStringLiteral("*.so")}, QDir::Files)) {
        QPluginLoader lader(datei.absoluteFilePath());
        const QJsonArray komponenten =
            lader.metaData().value(QLatin1String("MetaData")).toObject().value(QLatin1String("Komponenten")).toArray();
        for (const auto& eintrag : komponenten) {
            const QJsonObject k = eintrag.toObject();
            if (!passt(k, kennung)) continue;
            auto* fabrik = qobject_cast<KomponentenFabrik*>(lader.instance());
            if (!fabrik) continue;
            if (QObject* obj = fabrik->erzeugen(k.value(QLatin1String("ProgId")).toString()))
                return std::unique_ptr<QObject>(obj);
        }
    }
    fehlerWerfen(FehlerNr::KomponenteFehlt, kennung);
}

}  // namespace xov
