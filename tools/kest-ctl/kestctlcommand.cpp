// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctlcommand.h"

#include "kestctloptions.h"
#include "kestctloutput.h"
#include "kestctlprobe.h"
#include "kestctlvalue.h"

#include "kestbusname_p.h"

#include <QJsonObject>

namespace {
const QString LeftTheBus = QStringLiteral("has left the bus");
}

KestCtlCommand::KestCtlCommand(KestCtlOutput &output, int timeout, QObject *parent)
    : QObject(parent)
    , m_output(output)
    , m_timeout(timeout)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (!conclude())
            return;
        report(QStringLiteral("no %1 within %2").arg(m_awaited, timeoutText()));
        if (abandon())
            flushAndFinish(ExitNoAnswer);
        else
            finish(ExitNoAnswer);
    });
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
        failUnlessGone(ExitFailed, QStringLiteral("property %1 could not be read").arg(name));
        return;
    }
    if (m_output.json())
        m_output.document(
            QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("value"), KestCtlValue::toJson(value)}});
    else
        m_output.line(KestCtlValue::toText(value));
    finish(ExitDone);
}

void KestCtlCommand::checkOwner(const std::function<void(bool)> &decide)
{
    auto *question = new KestCtlProbe(KestCtlProbe::busDaemonCall(QStringLiteral("NameHasOwner"), {m_service}),
                                      m_timeout, this);
    connect(question, &KestCtlProbe::finished, this, [question, decide] {
        question->deleteLater();
        // When even the bus daemon does not answer, the component is taken to be there.
        decide(question->outcome() != KestCtlProbe::Answered || question->reply().arguments().value(0).toBool());
    });
}

void KestCtlCommand::failUnlessGone(int status, const QString &message)
{
    if (!conclude())
        return;
    checkOwner([this, status, message](bool owned) {
        if (owned)
            end(status, message);
        else
            end(ExitNoSuchComponent, LeftTheBus);
    });
}

void KestCtlCommand::callFailed(const QString &what, const QDBusError &error)
{
    if (!conclude())
        return;
    if (KestCtlProbe::isNoOwnerError(error)) {
        end(ExitNoSuchComponent, LeftTheBus);
        return;
    }
    // A component that leaves with calls pending makes them fail with NoReply, like silence does.
    checkOwner([this, what, error](bool owned) {
        if (!owned)
            end(ExitNoSuchComponent, LeftTheBus);
        else if (error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout)
            end(ExitNoAnswer, QStringLiteral("no answer to %1: %2").arg(what, error.message()));
        else
            end(ExitFailed,
                QStringLiteral("%1 failed: %2").arg(what, error.message().isEmpty() ? error.name() : error.message()));
    });
}

void KestCtlCommand::probe(const QString &path, const QString &interface, const QString &member,
                           const std::function<void(const KestCtlProbe &)> &proceed)
{
    auto *question = new KestCtlProbe(QDBusMessage::createMethodCall(m_service, path, interface, member), m_timeout,
                                      this);
    connect(question, &KestCtlProbe::finished, this, [this, question, member, proceed] {
        question->deleteLater();
        if (m_concluded)
            return;
        switch (question->outcome()) {
        case KestCtlProbe::Answered: proceed(*question); break;
        case KestCtlProbe::Silent:
            fail(ExitNoAnswer, QStringLiteral("no answer to %1 within %2").arg(member, timeoutText()));
            break;
        case KestCtlProbe::Failed:
        case KestCtlProbe::Pending: {
            const QDBusError error = question->error();
            if (KestCtlProbe::isNoOwnerError(error) || error.type() == QDBusError::NoReply
                || error.type() == QDBusError::Timeout)
                callFailed(member, error);
            else
                proceed(*question); // It answers, if not this question.
            break;
        }
        }
    });
}

void KestCtlCommand::flushAndFinish(int status)
{
    conclude();
    // The bus daemon reads this process's messages in order: once it has answered this one,
    // everything sent before is on its way and survives the end of the process.
    auto *question = new KestCtlProbe(KestCtlProbe::busDaemonCall(QStringLiteral("GetId")), m_timeout, this);
    connect(question, &KestCtlProbe::finished, this, [this, status] { finish(status); });
}
