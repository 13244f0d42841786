#pragma once
// frmMandStamm: the modal, tabbed client master-data dialog. Its controls are built from the
// field table; object names are the control names, so tests and tools find every control.

#include <QComboBox>
#include <QDialog>
#include <QHash>
#include <array>

class QFrame;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTableView;
class InputFeld;
class TabStrip;

namespace xov {
class Datenquelle;
class Fehler;
}

// The data-bound list of tax offices: shows FaName, stores FaNummer, and keeps the bound value
// also while its rows are not loaded yet.
class DbListe : public QComboBox {
public:
    explicit DbListe(QWidget* parent = nullptr);
    void zeilenLaden(xov::Datenquelle* quelle, const QString& anzeige, const QString& gebunden);
    void wertAnzeigen(const QVariant& wert);
    QVariant wert() const { return m_wert; }
private:
    void auswaehlen();
    QVariant m_wert;
};

class frmMandStamm : public QDialog {
    Q_OBJECT
public:
    explicit frmMandStamm(QWidget* parent = nullptr);
    ~frmMandStamm() override;

    // Data sources (in the hidden frame fraDataFrame).
    xov::Datenquelle* MAData;
    xov::Datenquelle* FAData;
    xov::Datenquelle* KKData;

    TabStrip* TabStrip1;
    std::array<QFrame*, 8> Frame1{};
    QFrame* fraUntererTeil;
    QPushButton* cmdNeuerKurs;
    QPushButton* cmdBeenden;
    QPushButton* cmdHilfe;
    QLabel* lblAuswahlMonStatusText;
    QLabel* lblAuswahlMonStatus;
    DbListe* cmbFaNr;

    QWidget* steuerelement(const QString& name) const { return m_steuer.value(name); }
    InputFeld* feld(const QString& name) const;
    QComboBox* liste(const QString& name) const;

    // Lifecycle.
    void Form_Load();
    void MaSelect();
    bool Form_QueryUnload();   // true: cancel closing
    void HilfeKontext();

    // Checks of the current page; the outcome is modul().FehlerFlag.
    void Fehlerprüfungen_0();

    // Option lists.
    void ListenFuellen();

    // Tab pages.
    void Seite1Vorbereiten();
    void seiteZeigen(int seite);  // brings the page's frame to the front

    static int twipsNachPixel(int twips);

protected:
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void aufbauen();
    void binden();
    void hilfeOeffnen();
    void nachSeitenwechsel();

    QStackedWidget* m_seiten = nullptr;
    QHash<QString, QWidget*> m_steuer;
    bool m_entladen = false;
};
