#ifndef KESTREGISTRY_P_H
#define KESTREGISTRY_P_H

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <list>
#include <utility>

class KestPlaylist;
class KestPluginControlInterface;
class KestRenderer;
class KestSource;

// Registered objects of one kind, keyed by uuid, id or plugin name. Keys are looked up through
// a hash, so registering many components stays linear; the list keeps registration order.
template<typename T>
class KestRegistryStore
{
public:
    using Entry = std::pair<QString, T *>;

    KestRegistryStore() = default;
    // The hash points into the list.
    KestRegistryStore(const KestRegistryStore &) = delete;
    KestRegistryStore &operator=(const KestRegistryStore &) = delete;

    T *find(const QString &key) const
    {
        const auto it = m_index.constFind(key);
        return it == m_index.cend() ? nullptr : (*it)->second;
    }

    bool add(const QString &key, T *object)
    {
        if (!object || m_index.contains(key))
            return false;
        m_index.insert(key, m_entries.insert(m_entries.end(), Entry(key, object)));
        return true;
    }

    T *take(const QString &key)
    {
        const auto it = m_index.find(key);
        if (it == m_index.end())
            return nullptr;
        T *object = (*it)->second;
        m_entries.erase(*it);
        m_index.erase(it);
        return object;
    }

    // Only for objects deleted behind the registry's back, which is rare: a scan will do.
    void forget(const QObject *object)
    {
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            if (static_cast<QObject *>(it->second) == object) {
                m_index.remove(it->first);
                it = m_entries.erase(it);
            } else {
                ++it;
            }
        }
    }

    const std::list<Entry> &entries() const { return m_entries; }

    QList<T *> objects() const
    {
        QList<T *> result;
        result.reserve(int(m_entries.size()));
        for (const Entry &entry : m_entries)
            result.append(entry.second);
        return result;
    }

private:
    std::list<Entry> m_entries;
    QHash<QString, typename std::list<Entry>::iterator> m_index;
};

class KestRegistryPrivate
{
public:
    void forget(const QObject *object)
    {
        renderers.forget(object);
        sources.forget(object);
        playlists.forget(object);
        plugins.forget(object);
    }

    QList<QObject *> allObjects() const;

    KestRegistryStore<KestRenderer> renderers;
    KestRegistryStore<KestSource> sources;
    KestRegistryStore<KestPlaylist> playlists;
    KestRegistryStore<KestPluginControlInterface> plugins;
};

#endif
