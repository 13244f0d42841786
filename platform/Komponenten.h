#pragma once
// Separate components of the suite, created by class name or class id from the plugins in the
// component's plugin folder. The interfaces they offer are in Schnittstellen.h.

#include "platform/Schnittstellen.h"

#include <QObject>
#include <QString>
#include <memory>

namespace xov {

// The folder that holds the component plugins: XOV_PLUGINS when set, else "xov-plugins" beside
// the component's library.
QString pluginOrdner();
void setzePluginOrdner(const QString& ordner);  // for hosts and tests; "" restores the default

// Creates a component by programmatic identifier ("xopMandStamm.xovMandStamm"), by its class
// name alone, or by class id ("{FB67A95A-...}"). Raises 429 when no plugin offers it.
std::unique_ptr<QObject> komponenteErzeugen(const QString& kennung);

}  // namespace xov
