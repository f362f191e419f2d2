#ifndef KESTREGISTRY_P_H
#define KESTREGISTRY_P_H

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include <algorithm>

class KestPlaylist;
class KestPluginControlInterface;
class KestRenderer;
class KestSource;

// Registered objects of one kind, keyed by uuid, id or plugin name, in registration order.
template<typename T>
class KestRegistryStore
{
public:
    T *find(const QString &key) const
    {
        const auto it = position(key);
        return it == m_entries.cend() ? nullptr : it->second;
    }

    bool add(const QString &key, T *object)
    {
        if (!object || find(key))
            return false;
        m_entries.append(qMakePair(key, object));
        return true;
    }

    T *take(const QString &key)
    {
        const auto it = position(key);
        if (it == m_entries.cend())
            return nullptr;
        T *object = it->second;
        m_entries.removeAt(int(it - m_entries.cbegin()));
        return object;
    }

    void forget(const QObject *object)
    {
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                       [object](const QPair<QString, T *> &e) {
                                           return static_cast<QObject *>(e.second) == object;
                                       }),
                        m_entries.end());
    }

    const QList<QPair<QString, T *>> &entries() const { return m_entries; }

    QList<T *> objects() const
    {
        QList<T *> result;
        result.reserve(m_entries.size());
        for (const auto &entry : m_entries)
            result.append(entry.second);
        return result;
    }

private:
    typename QList<QPair<QString, T *>>::const_iterator position(const QString &key) const
    {
        return std::find_if(m_entries.cbegin(), m_entries.cend(),
                            [&key](const QPair<QString, T *> &e) { return e.first == key; });
    }

    QList<QPair<QString, T *>> m_entries;
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
