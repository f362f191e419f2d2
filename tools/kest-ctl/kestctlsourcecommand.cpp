// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctlsourcecommand.h"

#include "kestctloptions.h"
#include "kestctloutput.h"
#include "kestctlvalue.h"

#include <qkest-shared/kestproxysource.h>

#include <kestregistry.h>

#include <QJsonArray>
#include <QJsonObject>

namespace {
// A browse that takes longer than this shows its progress on a terminal.
const int ProgressAfter = 1000;
} // namespace

bool KestCtlSourceCommand::parse(const QStringList &arguments, const KestCtlOptions &options)
{
    if (arguments.size() < 2)
        return usage(QStringLiteral("source needs a uuid and a command"));
    if (!readElement(arguments.at(0), QStringLiteral("source uuid"), &m_uuid))
        return false;
    const QString command = arguments.at(1);
    if (command == QLatin1String("browse")) {
        m_action = Browse;
        if (!parseBrowseOptions(options))
            return false;
    } else if (command == QLatin1String("query")) {
        m_action = Query;
    } else if (command == QLatin1String("property")) {
        m_action = Property;
    } else {
        return usage(QStringLiteral("unknown source command \"%1\"").arg(command));
    }
    if (m_action != Browse && !acceptOptions(options, {}))
        return false;
    if (arguments.size() != 3)
        return usage(QStringLiteral("source %1 takes one argument").arg(command));
    m_subject = arguments.at(2);
    return true;
}

bool KestCtlSourceCommand::parseBrowseOptions(const KestCtlOptions &options)
{
    if (!acceptOptions(options,
                       {QStringLiteral("keys"), QStringLiteral("predicate"), QStringLiteral("offset"),
                        QStringLiteral("count")}))
        return false;
    m_keys = options.value(QStringLiteral("keys")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    m_predicate = options.value(QStringLiteral("predicate"));
    const QStringList given = options.commandOptions();
    if (given.contains(QStringLiteral("offset"))
        && !readUInt(options.value(QStringLiteral("offset")), QStringLiteral("offset"), &m_offset))
        return false;
    if (given.contains(QStringLiteral("count"))
        && !readUInt(options.value(QStringLiteral("count")), QStringLiteral("count"), &m_count))
        return false;
    // The source would be asked for nothing: the library refuses such a browse.
    if (m_keys.isEmpty() && m_predicate.isEmpty())
        return usage(QStringLiteral("source browse needs --keys or --predicate"));
    return true;
}

void KestCtlSourceCommand::start()
{
    if (!initializeTracker(KestShared::TrackSources))
        return;
    KestRegistry *registry = KestRegistry::instance();
    auto *source = qobject_cast<KestProxySource *>(registry->findSource(m_uuid));
    setComponent(QStringLiteral("source ") + m_uuid, source ? source->serviceName() : QString());
    if (!source) {
        fail(ExitNoSuchComponent, QStringLiteral("not on the bus"));
        return;
    }
    m_source = source;
    connect(registry, &KestRegistry::sourceRemoved, this, [this, source](KestSource *removed) {
        if (removed == source)
            componentLeft();
    });

    if (m_action == Property) {
        QString name = m_subject;
        expect(QStringLiteral("answer to get_extension_property"));
        if (!source->kestProperty(name, this, SLOT(onProperty(QString, QVariant))))
            fail(ExitFailed, QStringLiteral("could not send get_extension_property"));
        return;
    }
    const QString request = m_action == Browse ? QStringLiteral("browse") : QStringLiteral("query");
    expect(request + QStringLiteral(" result"));
    // Rows and errors, also those of a start that failed, come under the id returned here.
    if (m_action == Browse) {
        connect(source, &KestProxySource::browseFinished, this, &KestCtlSourceCommand::requestFinished);
        m_requestId = source->browseAsync(m_subject, m_predicate, m_keys, m_offset, m_count, this,
                                          SLOT(onBrowseResult(uint, QString, Metamap, uint, int)),
                                          SLOT(onBrowseError(uint, uint, QString)));
    } else {
        connect(source, &KestProxySource::queryFinished, this, &KestCtlSourceCommand::requestFinished);
        m_requestId = source->queryAsync(m_subject, this, SLOT(onQueryResult(uint, QStringList, uint, int)),
                                         SLOT(onQueryError(uint, int, QString)));
    }
    if (m_requestId == 0)
        fail(ExitFailed, QStringLiteral("could not start the ") + request);
    m_running.start();
}

void KestCtlSourceCommand::requestFinished(uint requestId)
{
    if (requestId == m_requestId)
        finish(ExitDone);
}

bool KestCtlSourceCommand::abandon()
{
    if (!m_source || m_requestId == 0)
        return false;
    if (m_action == Browse)
        m_source->cancelBrowse(m_requestId);
    else
        m_source->cancelQuery(m_requestId);
    return true;
}

void KestCtlSourceCommand::rowArrived(int remainingCount)
{
    ++m_rows;
    expect(m_action == Browse ? QStringLiteral("browse result") : QStringLiteral("query result"));
    if (m_running.elapsed() > ProgressAfter)
        output().progress(QStringLiteral("%1 rows, %2 to come").arg(m_rows).arg(remainingCount));
}

void KestCtlSourceCommand::onBrowseResult(uint, const QString &objectId, const Metamap &metadata, uint index,
                                          int remainingCount)
{
    if (isConcluded())
        return;
    // The keys asked for first, in their order, then whatever else the source sent.
    QStringList keys;
    for (const QString &key : std::as_const(m_keys)) {
        if (metadata.contains(key))
            keys << key;
    }
    for (auto it = metadata.cbegin(); it != metadata.cend(); ++it) {
        if (!keys.contains(it.key()))
            keys << it.key();
    }
    if (output().json()) {
        QJsonObject values;
        for (const QString &key : std::as_const(keys))
            values.insert(key, KestCtlValue::toJson(metadata.value(key)));
        output().record(QJsonObject{{QStringLiteral("index"), qint64(index)},
                                    {QStringLiteral("objectId"), objectId},
                                    {QStringLiteral("metadata"), values},
                                    {QStringLiteral("remaining"), remainingCount}});
    } else {
        QString line = objectId;
        for (const QString &key : std::as_const(keys))
            line += QLatin1Char('\t') + key + QLatin1Char('=') + KestCtlValue::toText(metadata.value(key));
        output().line(line);
    }
    rowArrived(remainingCount);
}

void KestCtlSourceCommand::onBrowseError(uint, uint errorCode, const QString &errorMessage)
{
    failUnlessGone(
        QStringLiteral("browse of \"%1\" failed: %2: %3").arg(m_subject, QString::number(errorCode), errorMessage));
}

void KestCtlSourceCommand::onQueryResult(uint, const QStringList &row, uint index, int remainingCount)
{
    if (isConcluded())
        return;
    if (output().json()) {
        output().record(QJsonObject{{QStringLiteral("index"), qint64(index)},
                                    {QStringLiteral("values"), QJsonArray::fromStringList(row)},
                                    {QStringLiteral("remaining"), remainingCount}});
    } else {
        output().line(row.join(QLatin1Char('\t')));
    }
    rowArrived(remainingCount);
}

void KestCtlSourceCommand::onQueryError(uint, int errorCode, const QString &errorMessage)
{
    failUnlessGone(
        QStringLiteral("query \"%1\" failed: %2: %3").arg(m_subject, QString::number(errorCode), errorMessage));
}

void KestCtlSourceCommand::onProperty(const QString &name, const QVariant &value)
{
    finishWithProperty(name, value);
}
