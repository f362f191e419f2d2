// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTREGISTRY_P_H
#define KESTREGISTRY_P_H

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <list>
#include <utility>

class KestPlaylist;
class KestPluginControlInterface;
class KestRenderer;
class KestSource;

// Registered objects of one kind, keyed by uuid, id or plugin name. Keys are looked up through
// a hash, so registering many components stays linear; the list keeps registration order. An
// object deleted behind the registry's back reads as absent: its guard is null.
template<typename T>
class KestRegistryStore
{
public:
    using Entry = std::pair<QString, QPointer<T>>;

    KestRegistryStore() = default;
    // The hash points into the list.
    KestRegistryStore(const KestRegistryStore &) = delete;
    KestRegistryStore &operator=(const KestRegistryStore &) = delete;

    T *find(const QString &key) const
    {
        const auto it = m_index.constFind(key);
        return it == m_index.cend() ? nullptr : (*it)->second.data();
    }

    bool add(const QString &key, T *object)
    {
        if (!object || find(key))
            return false;
        take(key);
        m_index.insert(key, m_entries.insert(m_entries.end(), Entry(key, object)));
        return true;
    }

    T *take(const QString &key)
    {
        const auto it = m_index.find(key);
        if (it == m_index.end())
            return nullptr;
        T *object = (*it)->second.data();
        m_entries.erase(*it);
        m_index.erase(it);
        return object;
    }

    template<typename Visit>
    void forEach(Visit visit) const
    {
        for (const Entry &entry : m_entries) {
            if (entry.second)
                visit(entry.first, entry.second.data());
        }
    }

    QList<T *> objects() const
    {
        QList<T *> result;
        result.reserve(int(m_entries.size()));
        forEach([&result](const QString &, T *object) { result.append(object); });
        return result;
    }

private:
    std::list<Entry> m_entries;
    QHash<QString, typename std::list<Entry>::iterator> m_index;
};

class KestRegistryPrivate
{
public:
    QList<QPointer<QObject>> allObjects() const;

    KestRegistryStore<KestRenderer> renderers;
    KestRegistryStore<KestSource> sources;
    KestRegistryStore<KestPlaylist> playlists;
    KestRegistryStore<KestPluginControlInterface> plugins;
};

#endif
