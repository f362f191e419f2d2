// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTDEMO_H
#define KESTDEMO_H

#include <kestcontent.h>

#include <QObject>
#include <QProcess>
#include <QStringList>

#include <functional>

class KestRenderer;

// The demonstration itself: finds the framework's processes on the bus through the tracker and
// uses them through their proxies, telling what happens on standard output.
class KestDemo : public QObject
{
    Q_OBJECT
public:
    static QString playlistId() { return QStringLiteral("demo_mix"); }

    //! The second process: publishes a playlist and waits to be ended.
    static int runPublisher();

    KestDemo();
    ~KestDemo() override;

    int run();
    //! Brings the components up and keeps them until the process is ended.
    int serve(const QString &busAddress);

public Q_SLOTS:
    void onStatus(KestRenderer *renderer, const QString &playlistId, uint playbackIndex, int playbackState,
                  const QString &objectId);
    void onPosition(KestRenderer *renderer, uint position);
    void onBrowseResult(uint browseId, const QString &objectId, const Metamap &metadata, uint index,
                        int remainingCount);
    void onBrowseError(uint browseId, uint errorCode, const QString &errorMessage);

private:
    bool startPublisher();
    bool findComponents();
    bool driveRenderer();
    bool browseSource();
    bool useMinimalPlugin();
    bool readPlaylist();
    bool watchComponentsLeave();

    static bool waitFor(const std::function<bool()> &done, int timeout = 15000);

    QProcess m_publisher;
    int m_lastState = -1;
    bool m_browseCompleted = false;
    bool m_statusArrived = false;
    bool m_positionArrived = false;
    int m_rowsArrived = 0;
};

#endif
