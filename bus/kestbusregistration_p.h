// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTBUSREGISTRATION_P_H
#define KESTBUSREGISTRATION_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QString>

class QObject;

/*
 * A published component's place on the bus: its object at a path and a bus name of its own. The
 * object is registered first, so that a call that arrives as soon as the name is owned (such as
 * the one that made the bus daemon start the process) finds it.
 */
class KestBusRegistration
{
public:
    /*!
     * Exports \a object and its adaptors at \a path and claims \a service. A path or a name that is
     * already taken, by another process or by this one, is not taken over: false, after a warning
     * that names \a what, and nothing is kept.
     */
    bool registerAt(const QString &path, const QString &service, QObject *object, const char *what);
    //! Claims \a service unless anybody owns it already, this process included; false when not claimed.
    static bool claimName(const QString &service);
    //! Gives up the name, so that trackers elsewhere see the component go, then the path.
    void release();

    bool isRegistered() const { return !m_service.isEmpty(); }
    QString path() const { return m_path; }
    QString service() const { return m_service; }

private:
    QString m_path;
    QString m_service;
};

#endif
