#pragma once
// The open result of a data source: a cursor with the operations the dialog relies on
// (RecordCount, EOF/BOF, MoveFirst/MoveNext, FindFirst/NoMatch, Fields, AddNew/Edit/Update/Delete,
// LastModified/setBookmark) and at the same time a Qt item model for views such as the rate grid.
// Column names compare without regard to case.

#include "platform/Datenbank.h"

#include <QAbstractTableModel>
#include <QHash>
#include <memory>

namespace xov {

class Recordset;

// Fields(name) of the current row; Value() reads, setValue() writes into the edit buffer.
class FeldRef {
public:
    QVariant Value() const;
    void setValue(const QVariant& wert) const;
private:
    friend class Recordset;
    FeldRef(Recordset* rs, int spalte) : m_rs(rs), m_spalte(spalte) {}
    Recordset* m_rs;
    int m_spalte;
};

class Recordset : public QAbstractTableModel {
    Q_OBJECT
public:
    using Bookmark = int;  // a row's position in this result

    // Without a Schreibziel (or when the result lacks one of its key columns) the result is
    // read-only: AddNew, Edit and Delete raise 3027.
    Recordset(std::shared_ptr<Verbindung> verbindung, Abfrageergebnis ergebnis, Schreibziel ziel = {},
              QObject* parent = nullptr);

    int RecordCount() const { return static_cast<int>(m_zeilen.size()); }
    bool Eof() const { return m_pos >= RecordCount(); }    // EOF is a C macro
    bool Bof() const { return m_pos < 0 || RecordCount() == 0; }
    void MoveFirst();
    void MoveNext();
    // The first row whose column holds the value (numbers compared as numbers, texts without
    // regard to case); without one, NoMatch() and the position stays.
    void FindFirst(const QString& spalte, const QVariant& wert);
    bool NoMatch() const { return m_keinTreffer; }

    FeldRef Fields(const QString& name);
    bool hatSpalte(const QString& name) const { return spalteVon(name) >= 0; }
    int spalteVon(const QString& name) const;  // -1 when the result has no such column
    const QStringList& spalten() const { return m_spaltenNamen; }

    void AddNew();
    void Edit();
    void Update();        // writes the buffer; a failure raises its number and leaves the row as it was
    void CancelUpdate();
    void Delete();
    // The current row as read afresh, e.g. after another workstation changed it: the next write is
    // checked against these values. Not while an edit is pending (3020).
    void zeileErneuern(const QVector<QVariant>& werte);
    bool imEditModus() const { return m_modus != Modus::Keiner; }
    Bookmark LastModified() const;
    void setBookmark(Bookmark b);

    // Item model: one row per record, one column per field; read-only.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    void positionChanged();

private:
    friend class FeldRef;
    enum class Modus { Keiner, Neu, Bearbeiten };
    int spalteOderFehler(const QString& name) const;
    QVariant lesen(int spalte) const;
    void schreiben(int spalte, const QVariant& wert);
    void positionieren(int pos);
    void schreibbarPruefen() const;

    std::shared_ptr<Verbindung> m_verbindung;
    Schreibziel m_ziel;
    QStringList m_spaltenNamen;
    QHash<QString, int> m_spaltenIndex;  // lower-case name -> column
    QVector<QVector<QVariant>> m_zeilen;
    int m_pos = 0;
    bool m_keinTreffer = false;
    Modus m_modus = Modus::Keiner;
    QHash<int, QVariant> m_puffer;
    Bookmark m_zuletztGeaendert = -1;
};

}  // namespace xov
