// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestextensionadaptor_p.h"

#include "kestbusname_p.h"
#include "kestbusnames_p.h"
#include "kestdeferredreplies_p.h"
#include "kestlogging_p.h"
#include "kestpropertyreply_p.h"
#include "kestserving_p.h"

#include <QDBusArgument>
#include <QDynamicPropertyChangeEvent>

namespace {
// Longer names are no property's: they only cost memory in the component.
const int MaxPropertyName = 255;

bool isQtInternal(const QByteArray &name)
{
    return name.startsWith("_q_");
}
} // namespace

KestExtensionAdaptor::KestExtensionAdaptor(QObject *object, const QString &what, const Component &component)
    : QDBusAbstractAdaptor(object)
    , m_what(what)
    , m_component(component)
    , m_replies(new KestDeferredReplies(this, what))
{
}

KestExtensionAdaptor::~KestExtensionAdaptor() = default;

void KestExtensionAdaptor::relay(const QString &path, bool dynamicProperties)
{
    m_path = path;
    if (dynamicProperties)
        parent()->installEventFilter(this);
}

void KestExtensionAdaptor::withdraw(const QString &why)
{
    parent()->removeEventFilter(this);
    m_path.clear();
    m_replies->refuseAll(why);
}

void KestExtensionAdaptor::sendPropertyChanged(const QString &name, const QVariant &value)
{
    if (m_path.isEmpty())
        return;
    const QVariant wire = KestServing::wireValue(value);
    if (!wire.isValid()) {
        qCDebug(lcKestBus) << "KestExtensionAdaptor: The value of" << name << "cannot travel, no property_changed.";
        return;
    }
    KestServing::emitSignal(m_path, KestBusNames::extensionInterface(), QStringLiteral("property_changed"),
                            {name, QVariant::fromValue(QDBusVariant(wire))});
}

bool KestExtensionAdaptor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::DynamicPropertyChange && watched == parent()) {
        const QByteArray name = static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName();
        const QVariant value = watched->property(name.constData());
        // A property removed has no value to announce.
        if (!isQtInternal(name) && value.isValid())
            sendPropertyChanged(QString::fromLatin1(name), value);
    }
    return QDBusAbstractAdaptor::eventFilter(watched, event);
}

QString KestExtensionAdaptor::get_name()
{
    return m_component.name();
}

// A name that could not be the component's: empty, too long, beyond Latin-1 (names become
// Latin-1 dynamic properties) or one of Qt's own.
bool KestExtensionAdaptor::acceptsName(const QString &name, const QDBusMessage &message) const
{
    bool latin1 = true;
    for (const QChar c : name)
        latin1 = latin1 && c.unicode() > 0 && c.unicode() <= 0xff;
    if (!name.isEmpty() && name.size() <= MaxPropertyName && latin1 && !isQtInternal(name.toLatin1()))
        return true;
    KestServing::refuse(message, QDBusError::InvalidArgs,
                        QStringLiteral("There is no property named %1.").arg(KestBusName::excerpt(name)));
    return false;
}

void KestExtensionAdaptor::get_extension_property(const QString &name, const QDBusMessage &message)
{
    if (!acceptsName(name, message))
        return;
    KestPropertyReply *reply = m_replies->start<KestPropertyReply>(message);
    if (!reply)
        return;
    reply->setName(name);
    QString asked = name; // the component may change it
    m_replies->started(reply, m_component.property(asked, reply, SLOT(property(QString, QVariant))),
                       QStringLiteral("%1 has no property %2.").arg(m_what, name));
}

void KestExtensionAdaptor::set_extension_property(const QString &name, const QDBusVariant &value,
                                                  const QDBusMessage &message)
{
    if (!acceptsName(name, message))
        return;
    // Structures and arrays that QtDBus cannot turn into Qt values would reach the component as
    // raw bus data.
    const QVariant variant = value.variant();
    if (!variant.isValid() || variant.userType() == qMetaTypeId<QDBusArgument>()) {
        KestServing::refuse(message, QDBusError::InvalidArgs,
                            QStringLiteral("%1 cannot take a value of that type for %2.").arg(m_what, name));
        return;
    }
    if (!m_component.setProperty(name, variant))
        KestServing::refuse(message, QDBusError::Failed,
                            QStringLiteral("%1 refused the value of %2.").arg(m_what, name));
}
