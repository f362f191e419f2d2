// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLTRACKEDREQUEST_H
#define KESTCTLTRACKEDREQUEST_H

#include <QDBusError>

#include <functional>
#include <utility>

/*
 * A renderer request (one of the KestProxyRenderer...Request classes) that also hands its bus
 * error, as it came, to the one who issued it.
 *
 * The requests translate a failure into a KestError for their error member, and some have no
 * error member at all; a translated error with code 0 cannot be told from the success notice of
 * a playback request. The bus error itself says what happened, and whether the renderer has gone.
 */
template<typename Request>
class KestCtlTrackedRequest : public Request
{
public:
    template<typename... Arguments>
    explicit KestCtlTrackedRequest(std::function<void(const QDBusError &)> failed, Arguments &&...arguments)
        : Request(std::forward<Arguments>(arguments)...)
        , m_failed(std::move(failed))
    {
    }

    //! Reached through the request's meta-object, like the request's own slot.
    void handleError(const QDBusError &error) override
    {
        m_failed(error);
        // Translates, calls the error member if any, and completes the request, destroying it.
        Request::handleError(error);
    }

private:
    std::function<void(const QDBusError &)> m_failed;
};

#endif
