// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTEXTENSIONADAPTOR_P_H
#define KESTEXTENSIONADAPTOR_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QString>

#include <functional>

class KestDeferredReplies;

/*
 * "com.zorvo.kest.extension" of a published renderer or source: its display name and its
 * properties, served by the KestRendererAdaptor or KestSourceAdaptor beside it through the
 * component's own operations. A child of the exported object, like every adaptor.
 */
class KestExtensionAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.extension")
    Q_CLASSINFO("D-Bus Introspection", KEST_EXTENSION_INTROSPECTION)
public:
    // How the adaptor reaches the component: KestRenderer and KestSource share no base for these.
    struct Component
    {
        std::function<QString()> name;
        std::function<bool(QString &name, QObject *receiver, const char *member)> property;
        std::function<bool(const QString &name, const QVariant &value)> setProperty;
    };

    //! \a what names the component in error texts ("The renderer").
    KestExtensionAdaptor(QObject *object, const QString &what, const Component &component);
    //! The adaptor of \a local, a KestRenderer or a KestSource, which it reaches through their like-named operations.
    template<typename Local>
    static KestExtensionAdaptor *serve(Local *local, const QString &what)
    {
        return new KestExtensionAdaptor(
            local, what,
            {[local] { return local->name(); },
             [local](QString &name, QObject *receiver, const char *member) {
                 return local->kestProperty(name, receiver, member);
             },
             [local](const QString &name, const QVariant &value) { return local->setKestProperty(name, value); }});
    }
    ~KestExtensionAdaptor() override;

    /*!
     * Starts sending property_changed from \a path, for every call of sendPropertyChanged() and,
     * with \a dynamicProperties, for every change of a dynamic property of the object.
     */
    void relay(const QString &path, bool dynamicProperties);
    //! Stops relaying and answers the calls still waiting with an error.
    void withdraw(const QString &why);
    void sendPropertyChanged(const QString &name, const QVariant &value);

public Q_SLOTS:
    QString get_name();
    void get_extension_property(const QString &name, const QDBusMessage &message);
    void set_extension_property(const QString &name, const QDBusVariant &value, const QDBusMessage &message);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool acceptsName(const QString &name, const QDBusMessage &message) const;

    const QString m_what;
    const Component m_component;
    KestDeferredReplies *const m_replies;
    QString m_path;
};

#endif
