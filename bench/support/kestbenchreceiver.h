// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHRECEIVER_H
#define KESTBENCHRECEIVER_H

#include <kestcontent.h>
#include <kestrenderer.h>

#include <QObject>
#include <QStringList>

/*
 * The application's side of a benchmark: slots as callers hand them to the library, which
 * count what arrives. The raw baselines call the same slots directly.
 */
class KestBenchReceiver : public QObject
{
    Q_OBJECT
public:
    void reset();
    //! True once the row with nothing remaining, or an error, has arrived.
    bool finished() const { return m_finished; }
    int rows() const { return m_rows; }
    //! Metadata entries or query columns received over all rows.
    int values() const { return m_values; }
    int errors() const { return m_errors; }
    int positions() const { return m_positions; }

public Q_SLOTS:
    void browseRow(uint browseId, const QString &objectId, const Metamap &metadata, uint index, int remaining);
    void browseError(uint browseId, uint code, const QString &message);
    void queryRow(uint queryId, const QStringList &row, uint index, int remaining);
    void queryError(uint queryId, int code, const QString &message);
    void position(KestRenderer *renderer, uint position);

private:
    void row(int values, int remaining);
    void error();

    bool m_finished = false;
    int m_rows = 0;
    int m_values = 0;
    int m_errors = 0;
    int m_positions = 0;
};

#endif
