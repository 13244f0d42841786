#pragma once
// The central bank's files the rate tests read, a zip of given entries, and a long history.

#include <QDate>
#include <QFile>
#include <QString>
#include <QVector>
#include <gtest/gtest.h>
#include <zip.h>

namespace test {

inline const QString csv2024 = QStringLiteral(XOV_KURSDATEN "/eurofxref-hist-2024.csv");
inline const QString xml90 = QStringLiteral(XOV_KURSDATEN "/eurofxref-hist-90d-auszug.xml");
inline const QString xmlTag = QStringLiteral(XOV_KURSDATEN "/eurofxref-daily-auszug.xml");

inline QByteArray inhaltVon(const QString& pfad) {
    QFile f(pfad);
    if (!f.open(QIODevice::ReadOnly)) ADD_FAILURE() << pfad.toStdString();
    return f.readAll();
}

inline QString schreiben(const QString& pfad, const QByteArray& inhalt) {
    QFile f(pfad);
    if (!f.open(QIODevice::WriteOnly) || f.write(inhalt) != inhalt.size()) ADD_FAILURE() << pfad.toStdString();
    return pfad;
}

// A zip with the given entries, deflated as the central bank publishes it.
inline QString zipSchreiben(const QString& pfad, const QVector<QPair<QString, QByteArray>>& eintraege) {
    int fehler = 0;
    zip_t* zip = zip_open(QFile::encodeName(pfad).constData(), ZIP_CREATE | ZIP_TRUNCATE, &fehler);
    if (!zip) ADD_FAILURE() << "kein Zip " << pfad.toStdString();
    for (const auto& [name, inhalt] : eintraege) {
        zip_source_t* q = zip_source_buffer(zip, inhalt.constData(), static_cast<zip_uint64_t>(inhalt.size()), 0);
        EXPECT_GE(zip_file_add(zip, name.toUtf8().constData(), q, ZIP_FL_OVERWRITE), 0);
    }
    EXPECT_EQ(zip_close(zip), 0);
    return pfad;
}

// A rate file of the central bank's CSV kind with a long history: `tage` consecutive days up to
// 31.12.2024, newest first, rates for USD and CHF.
inline QString langeKursdatei(const QString& ordner, int tage) {
    QByteArray text = "Date,USD,CHF,\n";
    for (int i = 0; i < tage; ++i)
        text += QStringLiteral("%1,%2,%3,\n").arg(QDate(2024, 12, 31).addDays(-i).toString(Qt::ISODate)).arg(1.05 + (i % 50) / 1000.0)
                    .arg(0.95 + (i % 30) / 1000.0).toLatin1();
    return schreiben(ordner + QStringLiteral("/eurofxref-hist-lang.csv"), text);
}

}  // namespace test
