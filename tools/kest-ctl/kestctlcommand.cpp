// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctlcommand.h"

#include "kestctloptions.h"
#include "kestctloutput.h"
#include "kestctlvalue.h"

#include "kestbusname_p.h"
#include "kestbusnames_p.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QJsonObject>

namespace {

const QString LeftTheBus = QStringLiteral("has left the bus");

/*
 * How the outcome of a wait is told: the command's own deadline ends it with 4, and the library
 * gives up on a call only this much later, so silence always meets the deadline first. A failure
 * that the library reports before the deadline is an answer: an error (1), or the component's
 * departure (3) when its bus name has no owner any more.
 */
const int ReplyTimeoutMargin = 500;

} // namespace

KestCtlCommand::KestCtlCommand(KestCtlOutput &output, int timeout, QObject *parent)
    : QObject(parent)
    , m_output(output)
    , m_timeout(timeout)
{
    m_deadline.setSingleShot(true);
    m_deadline.setTimerType(Qt::PreciseTimer);
    connect(&m_deadline, &QTimer::timeout, this, &KestCtlCommand::expire);
}

KestCtlCommand::~KestCtlCommand() = default;

QString KestCtlCommand::usageError() const
{
    return m_usageError;
}

void KestCtlCommand::interrupt(int signal)
{
    const int status = ExitSignalBase + signal;
    // A second signal while the first is being handled ends at once.
    if (!conclude() || !abandon())
        finish(status);
    else
        flushAndFinish(status);
}

bool KestCtlCommand::abandon()
{
    return false;
}

void KestCtlCommand::timedOut()
{
    report(QStringLiteral("no %1 within %2").arg(m_awaited, timeoutText()));
    if (abandon())
        flushAndFinish(ExitNoAnswer);
    else
        finish(ExitNoAnswer);
}

bool KestCtlCommand::usage(const QString &message)
{
    m_usageError = message;
    return false;
}

bool KestCtlCommand::acceptOptions(const KestCtlOptions &options, const QStringList &accepted)
{
    const QStringList given = options.commandOptions();
    for (const QString &option : given) {
        if (!accepted.contains(option))
            return usage(QStringLiteral("--%1 does not apply here").arg(option));
    }
    return true;
}

bool KestCtlCommand::readElement(const QString &text, const QString &what, QString *element)
{
    if (!KestBusName::isValidElement(text))
        return usage(QStringLiteral("%1 \"%2\" is not a valid bus name element (letters, digits and _, "
                                    "not starting with a digit)")
                         .arg(what, text));
    *element = text;
    return true;
}

bool KestCtlCommand::readUInt(const QString &text, const QString &what, uint *value)
{
    bool ok = false;
    *value = text.toUInt(&ok);
    return ok || usage(QStringLiteral("%1 \"%2\" is not a number of 0 or more").arg(what, text));
}

bool KestCtlCommand::readInt(const QString &text, const QString &what, int *value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok || usage(QStringLiteral("%1 \"%2\" is not a number").arg(what, text));
}

bool KestCtlCommand::initializeTracker(KestShared::TrackFlagSet flags)
{
    KestShared::instance()->setReplyTimeout(m_timeout + ReplyTimeoutMargin);
    if (KestShared::instance()->initialize(flags))
        return true;
    fail(ExitFailed, QStringLiteral("cannot connect to the session bus"));
    return false;
}

void KestCtlCommand::setComponent(const QString &component, const QString &service)
{
    m_component = component;
    m_service = service;
}

QString KestCtlCommand::component() const
{
    return m_component;
}

KestCtlOutput &KestCtlCommand::output() const
{
    return m_output;
}

int KestCtlCommand::timeout() const
{
    return m_timeout;
}

QString KestCtlCommand::timeoutText() const
{
    return QString::number(m_timeout / 1000.0) + QStringLiteral(" s");
}

void KestCtlCommand::expect(const QString &what)
{
    if (m_concluded)
        return;
    m_awaited = what;
    m_deadline.start(m_timeout);
}

bool KestCtlCommand::isConcluded() const
{
    return m_concluded;
}

bool KestCtlCommand::conclude()
{
    if (m_concluded)
        return false;
    m_concluded = true;
    m_deadline.stop();
    return true;
}

void KestCtlCommand::expire()
{
    if (conclude())
        timedOut();
}

void KestCtlCommand::report(const QString &message)
{
    m_output.error(m_component.isEmpty() ? message : m_component + QStringLiteral(": ") + message);
}

void KestCtlCommand::end(int status, const QString &message)
{
    report(message);
    finish(status);
}

void KestCtlCommand::finish(int status)
{
    conclude();
    if (m_finished)
        return;
    m_finished = true;
    Q_EMIT finished(status);
}

void KestCtlCommand::fail(int status, const QString &message)
{
    if (conclude())
        end(status, message);
}

void KestCtlCommand::componentLeft()
{
    fail(ExitNoSuchComponent, LeftTheBus);
}

void KestCtlCommand::finishWithProperty(const QString &name, const QVariant &value)
{
    if (m_concluded)
        return;
    // The library hands over an invalid value when reading failed; the reason stays with it.
    if (!value.isValid()) {
        failUnlessGone(QStringLiteral("property %1 could not be read").arg(name));
        return;
    }
    if (m_output.json())
        m_output.document(
            QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("value"), KestCtlValue::toJson(value)}});
    else
        m_output.line(KestCtlValue::toText(value));
    finish(ExitDone);
}

void KestCtlCommand::failUnlessGone(const QString &message)
{
    // Handled only after the deadline passed (a busy event loop), it may be the library giving up.
    if (m_deadline.isActive() && m_deadline.remainingTime() == 0) {
        expire();
        return;
    }
    if (!conclude())
        return;
    askBusDaemon(QStringLiteral("NameHasOwner"), {m_service}, [this, message](const QDBusMessage &reply) {
        // When even the bus daemon does not answer, the component is taken to be there.
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().value(0).toBool())
            end(ExitNoSuchComponent, LeftTheBus);
        else
            end(ExitFailed, message);
    });
}

void KestCtlCommand::askBusDaemon(const QString &method, const QVariantList &arguments,
                                  const std::function<void(const QDBusMessage &)> &take)
{
    QDBusMessage call = QDBusMessage::createMethodCall(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                                                       KestBusNames::busDaemonInterface(), method);
    call.setArguments(arguments);
    // Like the library's calls, it gives up only after the deadline.
    auto *watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(call, m_timeout + ReplyTimeoutMargin), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [watcher, take] {
        watcher->deleteLater();
        take(watcher->reply());
    });
}

void KestCtlCommand::flushAndFinish(int status)
{
    conclude();
    // The bus daemon reads this process's messages in order: once it has answered this one,
    // everything sent before is on its way and survives the end of the process.
    askBusDaemon(QStringLiteral("GetId"), {}, [this, status](const QDBusMessage &) { finish(status); });
}
