#pragma once
// The rate history of one currency as the grid shows it, newest date first: "Datum",
// "EuroinFremd", "FremdinEuro" and a fourth column without caption. Rows are read from the
// database page by page as the grid scrolls to them, so a long history opens at once.

#include <QAbstractTableModel>
#include <QDate>
#include <functional>
#include <memory>

namespace xov {
class Fehler;
class Verbindung;
}

class Kursverlauf : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int Seite = 100;  // rows read at a time: a few screens of the grid

    explicit Kursverlauf(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Reads the newest rates of the currency afresh.
    void laden(std::shared_ptr<xov::Verbindung> verbindung, int wid);
    // Reads on until the row is there (or the history ends).
    void bisZeile(int zeile);
    // The row of the day, read on as far as needed; -1 when the history has no rate that day.
    int zeileVon(const QDate& tag);
    // Told of a failure while the grid scrolls; loading itself raises its failures.
    std::function<void(const xov::Fehler&)> beiFehler;

    QDate datum(int zeile) const { return m_zeilen.at(zeile).datum; }
    double euroinFremd(int zeile) const { return m_zeilen.at(zeile).euroinFremd; }
    double fremdinEuro(int zeile) const { return m_zeilen.at(zeile).fremdinEuro; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    struct Zeile {
        QDate datum;
        double euroinFremd, fremdinEuro;
    };
    QVector<Zeile> naechsteSeite() const;
    void seiteLesen();
    std::shared_ptr<xov::Verbindung> m_verbindung;
    int m_wid = 0;
    QVector<Zeile> m_zeilen;
    bool m_vollstaendig = true;
};
