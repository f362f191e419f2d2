// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLMONITORCOMMAND_H
#define KESTCTLMONITORCOMMAND_H

#include "kestctlcommand.h"

#include <QList>
#include <QPair>
#include <QVariant>

class KestRenderer;
class KestSource;

/*
 * kest-ctl monitor [--count N]: what happens on the bus from now on, one line (or one JSON Lines
 * record) per event, until interrupted or N events have been printed.
 */
class KestCtlMonitorCommand : public KestCtlCommand
{
    Q_OBJECT
public:
    using KestCtlCommand::KestCtlCommand;

    bool parse(const QStringList &arguments, const KestCtlOptions &options) override;

public Q_SLOTS:
    void start() override;
    //! Following ends when the user says so: that is success.
    void interrupt(int signal) override;

protected:
    //! A renderer proxy stores what property_changed announces as a dynamic property.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Fields = QList<QPair<QString, QVariant>>;

    void follow(KestRenderer *renderer);
    void follow(KestSource *source);
    void report(const QString &event, const QString &kind, const QString &idKey, const QString &id,
                const Fields &fields = Fields());
    void reportRenderer(const QString &event, KestRenderer *renderer, const Fields &fields = Fields());

    uint m_count = 0;
    uint m_events = 0;
};

#endif
