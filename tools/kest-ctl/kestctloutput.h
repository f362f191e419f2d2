// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLOUTPUT_H
#define KESTCTLOUTPUT_H

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>

/*
 * Where kest-ctl writes: results to standard output, as text or as JSON, and errors and progress
 * to standard error. Every line is flushed at once, so that a pipe sees it as it happens.
 */
class KestCtlOutput
{
public:
    explicit KestCtlOutput(bool json);
    ~KestCtlOutput();

    bool json() const;

    void line(const QString &text);
    //! Rows of cells in aligned columns.
    void table(const QList<QStringList> &rows);
    //! One JSON document, indented.
    void document(const QJsonObject &object);
    void document(const QJsonArray &array);
    //! One JSON Lines record.
    void record(const QJsonObject &object);

    //! "kest-ctl: " and the message, on standard error.
    void error(const QString &message);
    //! A line on standard error that the next output replaces; shown only on a terminal.
    void progress(const QString &text);

private:
    void write(FILE *stream, const QByteArray &bytes);
    void clearProgress();

    bool m_json;
    bool m_terminal;
    bool m_progressShown = false;
};

#endif
