// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestmessagerecorder.h"

#include <cstring>

namespace {
KestMessageRecorder *s_recorder = nullptr;
}

KestMessageRecorder::KestMessageRecorder(Kept kept)
    : m_previous(qInstallMessageHandler(&KestMessageRecorder::handle))
    , m_kept(kept)
{
    s_recorder = this;
}

KestMessageRecorder::~KestMessageRecorder()
{
    qInstallMessageHandler(m_previous);
    s_recorder = nullptr;
}

QStringList KestMessageRecorder::take()
{
    QStringList result;
    result.swap(m_messages);
    return result;
}

void KestMessageRecorder::handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!context.category || std::strcmp(context.category, "qkest.source") != 0) {
        s_recorder->m_previous(type, context, message);
        return;
    }
    if ((type != QtDebugMsg && type != QtInfoMsg) || s_recorder->m_kept == ProblemsAndTraces)
        s_recorder->m_messages.append(message);
}
