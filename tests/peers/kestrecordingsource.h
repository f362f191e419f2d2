// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTRECORDINGSOURCE_H
#define KESTRECORDINGSOURCE_H

#include "kestsdkscript.h"

#include <kestcallbackhelper.h>
#include <kestcontent.h>
#include <kestsource.h>

#include <QSet>

/*
 * A local source that records every operation. A browse or query is scripted with the id to
 * answer (0 refuses), the number of rows and how: "inside" delivers them from inside the call,
 * otherwise 100 per turn of the event loop; the last row ends it with "last", the error slot with
 * code 0 with "end", with code 5 with "error", and nothing with "never"; "types" gives every row
 * a value of every type, "big" a long one; "count" adds the number of requests started before to the id.
 */
class KestRecordingSource : public KestSource
{
    Q_OBJECT
public:
    KestRecordingSource(KestSdkScript &script, const QString &uuid, const QString &plugin)
        : KestSource(nullptr, uuid, plugin)
        , m_script(script)
    {
        setName(QStringLiteral("Recorded source"));
    }

    uint browse(const QString &objectId, const QString &predicate, const QStringList &keys, uint offset, uint count,
                QObject *receiver, const char *resultSlot, const char *errorSlot) override
    {
        const QString line = QStringLiteral("browse %1 %2 %3 %4 %5")
                                 .arg(objectId, predicate, keys.join(QLatin1Char(',')))
                                 .arg(offset)
                                 .arg(count);
        return start(QStringLiteral("browse"), line, [=](uint id, int i, int remaining, const QString &how) {
            Metamap metadata{{QStringLiteral("t"), QStringLiteral("T%1").arg(i)}};
            if (how.contains(QLatin1String("types")))
                metadata.insert({{QStringLiteral("bool"), true},
                                 {QStringLiteral("int"), -123456},
                                 {QStringLiteral("uint"), 4000000000u},
                                 {QStringLiteral("int64"), qlonglong(-5000000000LL)},
                                 {QStringLiteral("uint64"), qulonglong(18000000000000000000ULL)},
                                 {QStringLiteral("double"), 0.1},
                                 {QStringLiteral("title"), QStringLiteral("Caf\u00e9")},
                                 {QStringLiteral("empty"), QString()}});
            if (how.contains(QLatin1String("big")))
                metadata.insert(QStringLiteral("big"), QString(4000, QLatin1Char('b')));
            if (i < 0)
                KestCallbackHelper::invoke(receiver, errorSlot, id, uint(remaining), QStringLiteral("broken"));
            else
                KestCallbackHelper::invoke(receiver, resultSlot, id, QStringLiteral("o%1").arg(i), metadata, uint(i),
                                           remaining);
        });
    }
    uint query(const QString &query, QObject *receiver, const char *resultSlot, const char *errorSlot) override
    {
        return start(QStringLiteral("query"), QStringLiteral("query ") + query,
                     [=](uint id, int i, int remaining, const QString &) {
                         if (i < 0)
                             KestCallbackHelper::invoke(receiver, errorSlot, id, remaining, QStringLiteral("broken"));
                         else
                             KestCallbackHelper::invoke(receiver, resultSlot, id,
                                                        QStringList{QStringLiteral("q%1").arg(i), query}, uint(i),
                                                        remaining);
                     });
    }
    void cancelBrowse(uint id) override { cancel(QStringLiteral("cancelBrowse %1").arg(id), id); }
    void cancelQuery(uint id) override { cancel(QStringLiteral("cancelQuery %1").arg(id), id); }
    bool setKestProperty(const QString &name, const QVariant &value) override
    {
        if (!m_script.take(QStringLiteral("setKestProperty"),
                           QStringLiteral("setKestProperty %1 %2").arg(name, value.toString())))
            return false;
        m_properties.insert(name, value);
        Q_EMIT kestPropertyChanged(name, value);
        return true;
    }
    bool kestProperty(QString &name, QObject *receiver, const char *member) override
    {
        const QString asked = name;
        return m_script.respond(QStringLiteral("kestProperty"), QStringLiteral("kestProperty ") + asked,
                                [=](const QVariantList &) {
                                    KestCallbackHelper::invoke(receiver, member, asked, m_properties.value(asked));
                                });
    }

private:
    // Row i of request id, with the rows remaining after it; i -1 is the error slot with code remaining.
    using Deliver = std::function<void(uint id, int i, int remaining, const QString &how)>;

    uint start(const QString &member, const QString &line, const Deliver &deliver)
    {
        if (!m_script.take(member, line))
            return 0;
        const QVariantList a = m_script.answer(member).arguments;
        const int rows = a.value(1).toInt();
        const QString how = a.value(2).toString();
        // "count" gives each request an id of its own, from the scripted one on.
        const uint id = a.value(0).toUInt() + (how.contains(QLatin1String("count")) ? m_started++ : 0);
        m_active.insert(id);
        if (how.contains(QLatin1String("inside")))
            deliverRows(id, 0, rows, how, deliver);
        else
            QTimer::singleShot(0, this, [=] { deliverRows(id, 0, rows, how, deliver); });
        return id;
    }

    void deliverRows(uint id, int from, int rows, const QString &how, const Deliver &deliver)
    {
        const bool inside = how.contains(QLatin1String("inside"));
        const bool last = how.contains(QLatin1String("last"));
        for (int i = from; i < rows && (inside || i < from + 100); ++i) {
            if (!m_active.contains(id))
                return;
            deliver(id, i, last ? rows - 1 - i : rows - i, how);
        }
        if (!inside && from + 100 < rows) {
            QTimer::singleShot(0, this, [=] { deliverRows(id, from + 100, rows, how, deliver); });
            return;
        }
        if (m_active.contains(id) && (how.contains(QLatin1String("end")) || how.contains(QLatin1String("error"))))
            deliver(id, -1, how.contains(QLatin1String("error")) ? 5 : 0, how);
        if (!how.contains(QLatin1String("never")))
            m_active.remove(id);
    }

    void cancel(const QString &line, uint id)
    {
        m_script.seen << line;
        m_active.remove(id);
    }

    KestSdkScript &m_script;
    QSet<uint> m_active;
    uint m_started = 0;
    QVariantMap m_properties;
};

#endif
