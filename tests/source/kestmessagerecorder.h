// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTMESSAGERECORDER_H
#define KESTMESSAGERECORDER_H

#include <QStringList>
#include <QtGlobal>

/*
 * While alive, takes every message of the source proxy's logging category and keeps the
 * warnings and criticals in order; debug traces are dropped unless asked for. Other
 * categories pass on.
 */
class KestMessageRecorder
{
public:
    enum Kept {
        Problems,
        ProblemsAndTraces
    };

    explicit KestMessageRecorder(Kept kept = Problems);
    ~KestMessageRecorder();

    QStringList messages() const { return m_messages; }
    //! The recorded messages since the last take, and forgets them.
    QStringList take();

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message);

    QtMessageHandler m_previous;
    Kept m_kept;
    QStringList m_messages;
};

#endif
