// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTSDKSCRIPT_H
#define KESTSDKSCRIPT_H

#include <QMap>
#include <QStringList>
#include <QTimer>
#include <QVariantList>

#include <functional>

// What the local objects of kest-sdk-peer saw, and how the test wants each operation answered:
// "reply" (at once, the default), "later" (from the event loop), "noreply" (never, until
// callBackKept()) or "error" (the operation returns false).
struct KestSdkScript
{
    struct Answer
    {
        QString outcome;
        QVariantList arguments;
    };

    QStringList seen;
    QMap<QString, Answer> answers;
    QList<std::function<void()>> kept;

    Answer answer(const QString &member) const { return answers.value(member, {QStringLiteral("reply"), {}}); }
    //! Records \a line; false when \a member is to fail.
    bool take(const QString &member, const QString &line)
    {
        seen << line;
        return answer(member).outcome != QLatin1String("error");
    }
    //! Records \a line and calls \a callBack with the scripted arguments as the answer says.
    bool respond(const QString &member, const QString &line, const std::function<void(const QVariantList &)> &callBack)
    {
        if (!take(member, line))
            return false;
        const Answer a = answer(member);
        if (a.outcome == QLatin1String("noreply"))
            kept << [callBack, a] { callBack(a.arguments); };
        else if (a.outcome == QLatin1String("later"))
            QTimer::singleShot(0, [callBack, a] { callBack(a.arguments); });
        else
            callBack(a.arguments);
        return true;
    }
};

#endif
