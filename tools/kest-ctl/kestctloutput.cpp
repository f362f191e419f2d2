// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctloutput.h"

#include <QJsonDocument>

#include <cstdio>
#include <unistd.h>

KestCtlOutput::KestCtlOutput(bool json)
    : m_json(json)
    , m_terminal(isatty(STDERR_FILENO))
{
}

KestCtlOutput::~KestCtlOutput()
{
    clearProgress();
}

bool KestCtlOutput::json() const
{
    return m_json;
}

void KestCtlOutput::write(FILE *stream, const QByteArray &bytes)
{
    clearProgress();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void KestCtlOutput::line(const QString &text)
{
    write(stdout, text.toUtf8() + '\n');
}

void KestCtlOutput::table(const QList<QStringList> &rows)
{
    QList<int> widths;
    for (const QStringList &row : rows) {
        for (int column = 0; column < row.size(); ++column) {
            if (column == widths.size())
                widths.append(0);
            widths[column] = qMax(widths.at(column), int(row.at(column).size()));
        }
    }
    for (const QStringList &row : rows) {
        QString text;
        for (int column = 0; column < row.size(); ++column) {
            if (column + 1 < row.size())
                text += row.at(column).leftJustified(widths.at(column) + 2);
            else
                text += row.at(column);
        }
        line(text.trimmed());
    }
}

void KestCtlOutput::document(const QJsonObject &object)
{
    write(stdout, QJsonDocument(object).toJson(QJsonDocument::Indented));
}

void KestCtlOutput::document(const QJsonArray &array)
{
    write(stdout, QJsonDocument(array).toJson(QJsonDocument::Indented));
}

void KestCtlOutput::record(const QJsonObject &object)
{
    write(stdout, QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
}

void KestCtlOutput::error(const QString &message)
{
    write(stderr, "kest-ctl: " + message.toUtf8() + '\n');
}

void KestCtlOutput::progress(const QString &text)
{
    if (!m_terminal)
        return;
    clearProgress();
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
    m_progressShown = true;
}

void KestCtlOutput::clearProgress()
{
    if (!m_progressShown)
        return;
    // Back to the start of the line, and erase it.
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    m_progressShown = false;
}
