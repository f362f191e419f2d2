// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLSOURCECOMMAND_H
#define KESTCTLSOURCECOMMAND_H

#include "kestctlcommand.h"

#include <kestcontent.h>

#include <QElapsedTimer>
#include <QPointer>
#include <QStringList>
#include <QVariant>

class KestSource;

/*
 * kest-ctl source UUID browse|query|property ...: rows are printed as they arrive, until the
 * library reports the end. A browse or query that is interrupted or times out is cancelled on
 * the source.
 */
class KestCtlSourceCommand : public KestCtlCommand
{
    Q_OBJECT
public:
    using KestCtlCommand::KestCtlCommand;

    bool parse(const QStringList &arguments, const KestCtlOptions &options) override;

public Q_SLOTS:
    void start() override;
    void onBrowseResult(uint browseId, const QString &objectId, const Metamap &metadata, uint index,
                        int remainingCount);
    void onBrowseError(uint browseId, uint errorCode, const QString &errorMessage);
    void onQueryResult(uint queryId, const QStringList &row, uint index, int remainingCount);
    void onQueryError(uint queryId, int errorCode, const QString &errorMessage);
    void onProperty(const QString &name, const QVariant &value);
    void requestFinished(uint requestId);

protected:
    bool abandon() override;

private:
    enum Action {
        Browse,
        Query,
        Property
    };

    bool parseBrowseOptions(const KestCtlOptions &options);
    //! After each row: the wait for the next.
    void rowArrived(int remainingCount);

    QString m_uuid;
    Action m_action = Browse;
    //! Object id, query text or property name.
    QString m_subject;
    QStringList m_keys;
    QString m_predicate;
    uint m_offset = 0;
    uint m_count = 0;

    QPointer<KestSource> m_source;
    uint m_requestId = 0;
    int m_rows = 0;
    QElapsedTimer m_running;
};

#endif
