// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTDEMOPLUGIN_H
#define KESTDEMOPLUGIN_H

#include <QObject>
#include <QString>

#include <memory>

// The demonstration plugin: on activate it brings up one renderer and one source and announces
// them; on deactivate it takes them off the bus again.
class KestDemoPlugin : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.plugin")
public:
    static QString name() { return QStringLiteral("demo"); }

    KestDemoPlugin();
    ~KestDemoPlugin() override;

public Q_SLOTS:
    void activate();
    void deactivate();

private:
    std::unique_ptr<QObject> m_renderer;
    std::unique_ptr<QObject> m_source;
};

#endif
