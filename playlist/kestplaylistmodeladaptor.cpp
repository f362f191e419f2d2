#include "kestplaylistmodeladaptor.h"

#include "kestbusnames_p.h"
#include "kestlogging_p.h"
#include "kestproxymodelerror.h"

#include <QAbstractItemModel>
#include <QDBusConnection>
#include <QDBusMessage>

namespace {

// What the bus carries for a cell or header: the value, or the error structure when the
// model has nothing to show.
QDBusVariant replyValue(const QVariant &value, const char *invalidMessage)
{
    if (value.isValid())
        return QDBusVariant(value);
    qCDebug(lcKestPlaylist) << invalidMessage;
    return QDBusVariant(QVariant::fromValue(KestProxyModelError()));
}

} // namespace

KestPlaylistModelAdaptor::KestPlaylistModelAdaptor(QAbstractItemModel &model)
    : QDBusAbstractAdaptor(&model)
    , m_model(&model)
    , m_initialized(false)
{
    KestProxyModelError::registerType();
}

KestPlaylistModelAdaptor::~KestPlaylistModelAdaptor()
{
    qCDebug(lcKestPlaylist) << "KestPlaylistModelAdaptor::~KestPlaylistModelAdaptor: " << m_objectPath;
    withdraw();
}

void KestPlaylistModelAdaptor::withdraw()
{
    disconnect(m_model, nullptr, this, nullptr);
    if (m_initialized)
        QDBusConnection::sessionBus().unregisterObject(m_objectPath, QDBusConnection::UnregisterNode);
    m_initialized = false;
}

bool KestPlaylistModelAdaptor::init(const QString &id)
{
    qCDebug(lcKestPlaylist).nospace() << "KestPlaylistModelAdaptor::init( id = " << id << " )";
    if (m_initialized) {
        qCDebug(lcKestPlaylist) << "Adaptor has initialized successfully beforehand.";
        return true;
    }
    if (id.isEmpty()) {
        qCWarning(lcKestPlaylist) << "KestPlaylistModelAdaptor: Playlist id cannot be empty";
        return false;
    }
    m_objectPath = KestBusNames::playlistModelPath(id);
    m_initialized = QDBusConnection::sessionBus().registerObject(m_objectPath, m_model,
                                                                 QDBusConnection::ExportAdaptors);
    if (!m_initialized)
        return false;
    qCDebug(lcKestPlaylist) << "KestPlaylistModelAdaptor, object registered in path: " << m_objectPath;
    // Changes are relayed only while the model is on the bus: before, or after a refusal, the
    // path may belong to another process.
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &KestPlaylistModelAdaptor::handleRowsInserted);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &KestPlaylistModelAdaptor::handleRowsRemoved);
    connect(m_model, &QAbstractItemModel::modelReset, this, &KestPlaylistModelAdaptor::handleModelReset);
    // Moves and layout changes have no signal of their own on the bus; remote views must
    // read everything again.
    connect(m_model, &QAbstractItemModel::rowsMoved, this, &KestPlaylistModelAdaptor::handleModelReset);
    connect(m_model, &QAbstractItemModel::layoutChanged, this, &KestPlaylistModelAdaptor::handleModelReset);
    return true;
}

QDBusVariant KestPlaylistModelAdaptor::get_data(int row, int column)
{
    // Rows and columns come from other processes: only cells that exist reach the model.
    QVariant value;
    if (m_model->hasIndex(row, column))
        value = m_model->data(m_model->index(row, column, QModelIndex()), Qt::DisplayRole);
    return replyValue(value, "KestPlaylistModelAdaptor:get_data invalid data requested.");
}

uint KestPlaylistModelAdaptor::get_row_count()
{
    return uint(m_model->rowCount(QModelIndex()));
}

uint KestPlaylistModelAdaptor::get_column_count()
{
    return uint(m_model->columnCount(QModelIndex()));
}

QDBusVariant KestPlaylistModelAdaptor::get_header_data(int section)
{
    QVariant value;
    if (section >= 0 && section < m_model->columnCount(QModelIndex()))
        value = m_model->headerData(section, Qt::Horizontal, Qt::DisplayRole);
    return replyValue(value, "KestPlaylistModelAdaptor:get_header_data invalid data requested.");
}

void KestPlaylistModelAdaptor::sendSignal(const QString &member, const QList<QVariant> &arguments,
                                          const char *failure)
{
    QDBusMessage signal = QDBusMessage::createSignal(m_objectPath, KestBusNames::playlistModelInterface(), member);
    signal.setArguments(arguments);
    if (!QDBusConnection::sessionBus().send(signal))
        qCWarning(lcKestPlaylist) << failure;
}

void KestPlaylistModelAdaptor::handleRowsInserted(const QModelIndex &, int start, int end)
{
    qCDebug(lcKestPlaylist) << "void KestPlaylistModelAdaptor::handleRowsInserted(const QModelIndex&, int, int)";
    sendSignal(QStringLiteral("model_rows_inserted"), {uint(start), uint(end)},
               "Sending KEST_PLAYLIST_MODEL_SIGNAL_ROWS_INSERTED failed.");
}

void KestPlaylistModelAdaptor::handleRowsRemoved(const QModelIndex &, int start, int end)
{
    qCDebug(lcKestPlaylist) << "void KestPlaylistModelAdaptor::handleRowsRemoved(const QModelIndex&, int, int)";
    sendSignal(QStringLiteral("model_rows_removed"), {uint(start), uint(end)},
               "Sending KEST_PLAYLIST_MODEL_SIGNAL_ROWS_REMOVED failed.");
}

void KestPlaylistModelAdaptor::handleModelReset()
{
    qCDebug(lcKestPlaylist) << "void KestPlaylistModelAdaptor::handleModelReset()";
    sendSignal(QStringLiteral("model_reset"), {}, "Sending KEST_PLAYLIST_MODEL_RESET failed.");
}
