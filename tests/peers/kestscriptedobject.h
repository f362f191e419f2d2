// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTSCRIPTEDOBJECT_H
#define KESTSCRIPTEDOBJECT_H

#include <QDBusVirtualObject>

class KestPeerControl;

// Serves one object path of a test peer: every method call on it goes to the control's script.
class KestScriptedObject : public QDBusVirtualObject
{
    Q_OBJECT
public:
    explicit KestScriptedObject(KestPeerControl *control);

    QString introspect(const QString &path) const override;
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

private:
    KestPeerControl *m_control;
};

#endif
