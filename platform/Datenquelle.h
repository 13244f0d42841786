#pragma once
// A data source as the dialog uses it: database file, connect string with password, a record
// source run by Refresh, the open Recordset, the fields bound to its columns, and the events
// Validate (before the row is left or written) and Reposition (after a row became current).

#include "platform/Recordset.h"

#include <QObject>
#include <functional>

namespace xov {

// A control bound to a column: shows the column's value and gives the value to write back.
struct Bindung {
    QString spalte;
    std::function<void(const QVariant&)> anzeigen;
    std::function<QVariant()> wert;  // empty for read-only controls
    // Whether the control's value was changed since the column was last shown. Only changed
    // controls are written back, so a value the control cannot show exactly stays as stored.
    std::function<bool()> geaendert;
};

class Datenquelle : public QObject {
    Q_OBJECT
public:
    // Actions handed to Validate; 0 cancels the pending action.
    enum Aktion { Abbrechen = 0, Schliessen = 11, Speichern = 13 };

    explicit Datenquelle(const QString& name, QObject* parent = nullptr);

    QString DatabaseName() const { return m_databaseName; }
    void setDatabaseName(const QString& pfad) { m_databaseName = pfad; }
    QString Connect() const { return m_connect; }
    void setConnect(const QString& connect) { m_connect = connect; }
    QString RecordSource() const { return m_recordSource; }
    // The SQL text runs at the next Refresh; typed values travel as parameters. The rows can be
    // written back only into the table `ziel` names, identified by its key columns (Datenbank.h);
    // without it the result is read-only.
    void setRecordSource(const QString& sql, const QVariantList& parameter = {}, const Schreibziel& ziel = {});
    void Refresh();
    xov::Recordset* Recordset() const;   // 3021 raised by callers' field access when none is open
    bool hatRecordset() const { return m_recordset != nullptr; }
    // The connection of this source's database, opened (or shared with the other sources of the
    // dialog) if need be: for a transaction around several row writes, or a view that reads
    // the same database page by page.
    std::shared_ptr<Verbindung> verbindung();

    void binden(Bindung bindung);
    // Shows the current row in every bound field whose column exists.
    void gebundeneFelderAnzeigen();
    // The bound columns that the open result lacks.
    QStringList fehlendeSpalten() const;
    // Writes the bound fields back into the current row after Validate allowed it. Returns false
    // when Validate cancelled; a failed write raises its number and the row stays as it was.
    bool zeileSchreiben(int aktion = Speichern);

    // When a write found the row changed by another workstation (3197):
    // The changed bound columns, each with the value its control would write.
    Spaltenwerte ausstehendeWerte() const;
    // The current row as it is stored now, read by running the record source again, in the
    // columns of the open result; nothing is shown. Found by the key columns, or for a table
    // without key as the one row of the result; 3197 when it is gone or not unique.
    QVector<QVariant> zeileNeuLesen();
    // Takes that row as the current row: the next write is checked against it. The controls bound
    // to the columns `zeigen` show the stored value; every other control keeps what it shows, so
    // what the user typed there is still written.
    void zeileUebernehmen(const QVector<QVariant>& zeile, const QStringList& zeigen);

    std::function<void(int& aktion, bool& speichern)> beiValidate;
    std::function<void()> beiReposition;

private:
    bool geaendert() const;

    QString m_databaseName;
    QString m_connect;
    QString m_recordSource;
    QVariantList m_parameter;
    Schreibziel m_ziel;
    std::shared_ptr<Verbindung> m_verbindung;
    QString m_verbindungFuer;  // the file m_verbindung belongs to
    xov::Recordset* m_recordset = nullptr;
    QVector<Bindung> m_bindungen;
};

}  // namespace xov
