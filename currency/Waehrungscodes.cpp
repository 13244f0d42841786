#include "currency/Waehrungscodes.h"

#include "form/InputFeld.h"
#include "kurse/IsoWaehrungen.h"

#include <QLabel>

namespace xov {

namespace {

void hinweisSetzen(QLabel* l, const QString& code) {
    const QString c = code.trimmed().toUpper();
    const QString text = c.isEmpty() || !isoWaehrungsname(c).isEmpty() ? QString()
                                                                        : QStringLiteral("%1 ist kein bekannter ISO-Währungscode").arg(c);
    l->setText(text);
    l->setVisible(!text.isEmpty());  // hidden, it takes no room
}

}  // namespace

void waehrungscodesVerbinden(QWidget* seite) {
    for (int r = 0; r < 20; ++r) {
        auto* code = seite->findChild<InputFeld*>(QStringLiteral("inpWährungsBezKurz(%1)").arg(r));
        auto* name = seite->findChild<InputFeld*>(QStringLiteral("inpWährungsBezLang(%1)").arg(r));
        auto* hinweis = seite->findChild<QLabel*>(QStringLiteral("lblWährungscodeHinweis(%1)").arg(r));
        if (!code || !name || !hinweis) continue;
        hinweis->setStyleSheet(QStringLiteral("color: #a05000;"));
        hinweisSetzen(hinweis, code->text());
        QObject::connect(code, &QLineEdit::textChanged, hinweis, [hinweis](const QString& text) { hinweisSetzen(hinweis, text); });
        // Leaving a known code with the name still empty: the German name, written like typed text.
        QObject::connect(code, &InputFeld::LostFocus, name, [code, name] {
            if (!name->text().trimmed().isEmpty() || !name->isEnabled()) return;
            const QString deutsch = isoWaehrungsname(code->text());
            if (!deutsch.isEmpty()) name->setzeText(deutsch.left(name->maxLength()));
        });
    }
}

}  // namespace xov
