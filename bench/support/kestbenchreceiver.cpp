// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbenchreceiver.h"

void KestBenchReceiver::reset()
{
    m_finished = false;
    m_rows = m_values = m_errors = m_positions = 0;
}

void KestBenchReceiver::browseRow(uint, const QString &, const Metamap &metadata, uint, int remaining)
{
    row(int(metadata.size()), remaining);
}

void KestBenchReceiver::browseError(uint, uint, const QString &)
{
    error();
}

void KestBenchReceiver::queryRow(uint, const QStringList &row, uint, int remaining)
{
    this->row(int(row.size()), remaining);
}

void KestBenchReceiver::queryError(uint, int, const QString &)
{
    error();
}

void KestBenchReceiver::position(KestRenderer *, uint)
{
    ++m_positions;
}

void KestBenchReceiver::row(int values, int remaining)
{
    ++m_rows;
    m_values += values;
    m_finished = remaining == 0;
}

void KestBenchReceiver::error()
{
    ++m_errors;
    m_finished = true;
}
