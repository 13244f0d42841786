#pragma once
// InputFeld: the formatted input field of the suite. A QLineEdit with the design properties
// feldtype (20 text, 15 month MM.JJJJ, 10 date, 0 numeric, 1 exchange rate), maxwert, anzdezimalen
// (-1: amount with two decimals), keinminus and keintausendpkt, and the events GotFocus, LostFocus
// and LeaveField. Numbers are parsed and shown with the German locale.

#include <QLineEdit>
#include <QVariant>
#include <optional>

class InputFeld : public QLineEdit {
    Q_OBJECT
public:
    // Kurs: an exchange rate, a number with up to anzdezimalen places shown without padding
    // zeros ("0,5", "0,3333333333"); empty reads as "", not "0".
    enum Typ { Zahl = 0, Kurs = 1, Datum = 10, Monat = 15, Textfeld = 20 };

    explicit InputFeld(QWidget* parent = nullptr);

    void einstellen(int feldtype, double maxwert, int anzdezimalen, bool keinminus, bool keintausendpkt);
    int feldtype() const { return m_feldtype; }
    double maxwert() const { return m_maxwert; }
    int anzdezimalen() const { return m_anzdezimalen; }
    bool keinminus() const { return m_keinminus; }
    bool keintausendpkt() const { return m_keintausendpkt; }
    bool istNumerisch() const { return m_feldtype == Zahl || m_feldtype == Kurs; }
    int dezimalstellen() const { return m_anzdezimalen < 0 ? 2 : m_anzdezimalen; }

    // The content as the form reads it: an empty numeric field reads "0" ("0,00", "0,0000"),
    // an empty date field "0".
    QString Text() const;
    // Writes the content; numbers are shown in the field's German format.
    void setzeText(const QString& text);
    void setzeZahl(double wert);
    // The numeric value of Text(), if it has one.
    std::optional<double> zahl() const;
    // A numeric field holds a complete German number or nothing; "-", "1.2" or ",5" are not yet
    // complete. Fields of other kinds are always complete.
    bool zahlVollstaendig() const;
    // An example of a complete number in this field's format, for messages.
    QString zahlBeispiel() const;
    // A rate as the rate fields show it: German decimal comma, at most `stellen` places, no
    // padding zeros.
    static QString kursText(double wert, int stellen = 10);

    // Whether the user changed the text (or the form set it on purpose) since the column's value
    // was last shown; only such a field is written back.
    bool geaendert() const { return m_geaendert; }
    // How the field last received the focus.
    Qt::FocusReason fokusGrund() const { return m_fokusGrund; }

    // Binding: the column's value into the field (an empty number shows its empty reading, "0"
    // or "0,00"), and the field's value for the column.
    void spaltenwertAnzeigen(const QVariant& wert);
    QVariant spaltenwert() const;

Q_SIGNALS:
    void GotFocus();
    void LostFocus();
    void LeaveField(int taste);

protected:
    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QString formatiert(double wert, bool mitTausendern) const;
    QString leerText() const;
    void ganzMarkieren();
    // Enter: on to the next field, or to the dialog where a button is its default.
    void mitEnterWeiter(QKeyEvent* e);
    // Why the field refuses to become `neu` by typing `getippt`, in German.
    QString abweisungsHinweis(const QString& neu, const QString& getippt) const;

    int m_feldtype = Textfeld;
    double m_maxwert = 50;
    int m_anzdezimalen = 0;
    bool m_keinminus = false;
    bool m_keintausendpkt = false;
    bool m_geaendert = false;
    bool m_frischBetreten = false;  // entered by keyboard, no key or click since
    Qt::FocusReason m_fokusGrund = Qt::OtherFocusReason;
};
