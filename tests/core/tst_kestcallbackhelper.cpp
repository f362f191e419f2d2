// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestcallbackhelper.h"
#include "kestcontent.h"
#include "kestrenderer.h"

#include <QTest>
#include <QThread>

class Receiver : public QObject
{
    Q_OBJECT
public:
    KestRenderer *renderer = nullptr;
    KestError error;
    QString playlistId;
    uint position = 0;
    KestMediaInfo mediaInfo;
    QThread *calledIn = nullptr;
    int completions = 0;

public Q_SLOTS:
    void onError(KestRenderer *r, const KestError &e)
    {
        renderer = r;
        error = e;
        calledIn = QThread::currentThread();
    }
    void onStatus(KestRenderer *r, const QString &id, uint, int, const QString &)
    {
        renderer = r;
        playlistId = id;
    }
    void onPosition(KestRenderer *r, uint p)
    {
        renderer = r;
        position = p;
    }
    void onMediaInfo(KestRenderer *r, const KestMediaInfo &info)
    {
        renderer = r;
        mediaInfo = info;
    }
    void onWrongPosition(KestRenderer *, int) { }
    void onComplete() { ++completions; }

Q_SIGNALS:
    void positionSignal(KestRenderer *r, uint p);
};

class CallbackHelperTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void checksAcceptOnlyFittingSlots()
    {
        Receiver receiver;
        QVERIFY(KestCallbackHelper::checkErrorCallback(&receiver, SLOT(onError(KestRenderer *, KestError))));
        // Signatures are normalised: const references and blanks do not matter.
        QVERIFY(KestCallbackHelper::checkErrorCallback(&receiver, SLOT(onError(KestRenderer *, const KestError &))));
        QVERIFY(KestCallbackHelper::checkGetStatusCallback(
            &receiver, SLOT(onStatus(KestRenderer *, QString, uint, int, QString))));
        QVERIFY(KestCallbackHelper::checkGetPositionCallback(&receiver, SLOT(onPosition(KestRenderer *, uint))));
        QVERIFY(
            KestCallbackHelper::checkGetMediaInfoCallback(&receiver, SLOT(onMediaInfo(KestRenderer *, KestMediaInfo))));

        QVERIFY(!KestCallbackHelper::checkGetPositionCallback(&receiver, SLOT(onWrongPosition(KestRenderer *, int))));
        QVERIFY(!KestCallbackHelper::checkGetPositionCallback(&receiver, SLOT(onError(KestRenderer *, KestError))));
        QVERIFY(!KestCallbackHelper::checkGetPositionCallback(&receiver, SLOT(missing(KestRenderer *, uint))));
        // A signal is not a slot, even with fitting parameters.
        QVERIFY(!KestCallbackHelper::checkGetPositionCallback(&receiver, SIGNAL(positionSignal(KestRenderer *, uint))));
        QVERIFY(!KestCallbackHelper::checkErrorCallback(nullptr, SLOT(onError(KestRenderer *, KestError))));
        QVERIFY(!KestCallbackHelper::checkErrorCallback(&receiver, nullptr));
        QVERIFY(!KestCallbackHelper::checkErrorCallback(&receiver, ""));
    }

    void invokesWithTheRendererFirst()
    {
        Receiver receiver;
        KestRenderer renderer(QStringLiteral("u"), QStringLiteral("p"));
        KestError error(7, QStringLiteral("broken"));
        QVERIFY(KestCallbackHelper::invokeErrorCallback(&renderer, error, &receiver,
                                                        SLOT(onError(KestRenderer *, KestError))));
        QCOMPARE(receiver.renderer, &renderer);
        QCOMPARE(receiver.error, error);

        QVERIFY(KestCallbackHelper::invokeGetStatusCallback(
            &renderer, QStringLiteral("pl"), 1, 2, QStringLiteral("o"), &receiver,
            SLOT(onStatus(KestRenderer *, QString, uint, int, QString))));
        QCOMPARE(receiver.playlistId, QStringLiteral("pl"));
        QVERIFY(KestCallbackHelper::invokeGetPositionCallback(&renderer, 42, &receiver,
                                                              SLOT(onPosition(KestRenderer *, uint))));
        QCOMPARE(receiver.position, 42u);
        const KestMediaInfo info(QStringLiteral("item"));
        QVERIFY(KestCallbackHelper::invokeGetMediaInfoCallback(&renderer, info, &receiver,
                                                               SLOT(onMediaInfo(KestRenderer *, KestMediaInfo))));
        QCOMPARE(receiver.mediaInfo, info);

        QVERIFY(!KestCallbackHelper::invokeGetPositionCallback(&renderer, 1, &receiver,
                                                               SLOT(missing(KestRenderer *, uint))));
        QVERIFY(!KestCallbackHelper::invoke(&receiver, SIGNAL(positionSignal(KestRenderer *, uint)), &renderer, 1u));

        // A member looked up once serves many calls; one that was not found serves none.
        QMetaMethod position;
        QVERIFY(KestCallbackHelper::getCallbackMethod(&receiver, SLOT(onPosition(KestRenderer *, uint)), position));
        QVERIFY(KestCallbackHelper::invoke(&receiver, position, &renderer, 43u));
        QCOMPARE(receiver.position, 43u);
        QVERIFY(!KestCallbackHelper::invoke(nullptr, position, &renderer, 44u));
        QVERIFY(!KestCallbackHelper::invoke(&receiver, QMetaMethod(), &renderer, 44u));
        QCOMPARE(receiver.position, 43u);
    }

    void receiverInAnotherThreadIsCalledThere()
    {
        QThread thread;
        Receiver receiver;
        receiver.moveToThread(&thread);
        thread.start();
        KestError error(3, QStringLiteral("queued"));
        QVERIFY(KestCallbackHelper::invokeErrorCallback(nullptr, error, &receiver,
                                                        SLOT(onError(KestRenderer *, KestError))));
        QTRY_COMPARE(receiver.calledIn, &thread);
        thread.quit();
        thread.wait();
        QCOMPARE(receiver.error, error);
    }

    void contentTellsItsReceiver()
    {
        Receiver receiver;
        KestContent content(QStringLiteral("c"));
        Metamap metaData;
        metaData.insert(QStringLiteral("title"), QStringLiteral("Song"));
        content.setMetaData(metaData, &receiver, SLOT(onComplete()));
        QCOMPARE(receiver.completions, 1);
        QCOMPARE(content.metaData(), metaData);
        content.setMetaData(Metamap());
        QCOMPARE(receiver.completions, 1);
    }
};

QTEST_GUILESS_MAIN(CallbackHelperTest)
#include "tst_kestcallbackhelper.moc"
